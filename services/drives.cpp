#include "services/drives.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <string_view>

#include "engine/path.h"
#include "services/mount_table.h"

namespace velmora {
namespace {

// Kernel and helper file systems that hold no user files.
bool IsPseudoFileSystem(std::string_view type) {
  static constexpr std::string_view kPseudo[] = {
      "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
      "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
      "proc",   "pstore",      "rpc_pipefs", "securityfs", "selinuxfs", "sysfs",    "tracefs"};
  return std::find(std::begin(kPseudo), std::end(kPseudo), type) != std::end(kPseudo);
}

std::set<std::string> MountPoints(const std::string& table) {
  std::set<std::string> points;
  for (MountEntry& entry : ReadMountTable(table)) {
    if (IsPseudoFileSystem(entry.type)) continue;
    if (IsWithinFolder(entry.point, "/proc") || IsWithinFolder(entry.point, "/sys")) continue;
    points.insert(std::move(entry.point));
  }
  return points;
}

bool IsReadable(const std::string& folder) { return access(folder.c_str(), R_OK | X_OK) == 0; }

}  // namespace

MountedDrives::MountedDrives(std::string mountTable) : mountTable_(std::move(mountTable)) {}

MountedDrives MountedDrives::ReadOnce() {
  MountedDrives drives;
  drives.once_ = true;
  return drives;
}

std::vector<Drive> MountedDrives::Drives() {
  if (read_) return drives_;
  std::set<std::string> points = MountPoints(mountTable_);
  if (points.empty()) points.insert(kRootFolder);
  std::vector<Drive> drives;
  for (const std::string& point : points) drives.push_back({point, IsReadable(point)});
  if (once_) {
    drives_ = drives;
    read_ = true;
  }
  return drives;
}

bool MountedDrives::IsDriveReady(const std::string& designation) {
  if (designation.empty()) return false;
  for (const Drive& drive : Drives()) {
    if (drive.path == designation) return drive.ready;
  }
  return false;
}

bool MountedDrives::IsFolderPresent(const std::string& path) { return FolderCanBeOpened(path); }

std::string MountedDrives::DriveOf(const std::string& folder) {
  std::string real = folder;
  char buffer[PATH_MAX];
  if (realpath(folder.c_str(), buffer) != nullptr) real = buffer;
  std::string best = kRootFolder;
  for (const Drive& drive : Drives()) {
    if (IsWithinFolder(real, drive.path) && drive.path.size() > best.size()) best = drive.path;
  }
  return best;
}

bool FolderCanBeOpened(const std::string& path) {
  if (path.empty()) return false;
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return false;
  closedir(dir);
  return true;
}

}  // namespace velmora
