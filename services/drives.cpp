#include "services/drives.h"

#include <dirent.h>
#include <mntent.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <string_view>

#include "engine/path.h"

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

bool IsBelow(std::string_view path, std::string_view folder) {
  if (folder == kPathSeparatorText) return path.starts_with(kPathSeparatorText);
  return path == folder || (path.starts_with(folder) && path.size() > folder.size() &&
                            path[folder.size()] == kPathSeparator);
}

std::set<std::string> MountPoints(const std::string& table) {
  std::set<std::string> points;
  FILE* file = setmntent(table.c_str(), "r");
  if (file == nullptr) return points;
  while (const mntent* entry = getmntent(file)) {
    std::string point = entry->mnt_dir;
    if (IsPseudoFileSystem(entry->mnt_type)) continue;
    if (IsBelow(point, "/proc") || IsBelow(point, "/sys")) continue;
    points.insert(std::move(point));
  }
  endmntent(file);
  return points;
}

bool IsReadable(const std::string& folder) { return access(folder.c_str(), R_OK | X_OK) == 0; }

}  // namespace

MountedDrives::MountedDrives(std::string mountTable) : mountTable_(std::move(mountTable)) {}

std::vector<Drive> MountedDrives::Drives() {
  std::set<std::string> points = MountPoints(mountTable_);
  if (points.empty()) points.insert(kRootFolder);
  std::vector<Drive> drives;
  for (const std::string& point : points) drives.push_back({point, IsReadable(point)});
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
    if (IsBelow(real, drive.path) && drive.path.size() > best.size()) best = drive.path;
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
