#include "services/plan_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "engine/path.h"
#include "services/mount_table.h"

namespace velmora {
namespace {

#ifndef FS_CASEFOLD_FL
constexpr long FS_CASEFOLD_FL = 0x40000000;
#endif

// A file as GetFile sees it: a regular file, links followed.
bool IsRegularAt(int dirFd, const char* name) {
  struct stat st {};
  return ::fstatat(dirFd, name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

bool HasCaseFoldFlag(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  long flags = 0;
  const bool folded = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
  ::close(fd);
  return folded;
}

}  // namespace

bool IsCaselessFileSystemType(const std::string& type) {
  static constexpr std::string_view kCaseless[] = {
      "vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk", "cifs", "smb3", "smbfs", "fuse.exfat"};
  return std::find(std::begin(kCaseless), std::end(kCaseless), type) != std::end(kCaseless);
}

LocalPlanDisk::LocalPlanDisk(std::string mountTable) : mountTable_(std::move(mountTable)) {}

bool LocalPlanDisk::ListFolder(const std::string& folder, std::vector<FolderItem>& items) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  const int fd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool file = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
      file = IsRegularAt(fd, entry->d_name);
    items.push_back({std::string(name), file});
  }
  ::closedir(dir);
  return true;
}

PathKind LocalPlanDisk::Probe(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    return S_ISREG(st.st_mode) ? PathKind::kFile : PathKind::kOther;
  return ::lstat(path.c_str(), &st) == 0 ? PathKind::kOther : PathKind::kNone;
}

bool LocalPlanDisk::IgnoresCase(const std::string& folder) {
  if (HasCaseFoldFlag(folder)) return true;
  if (!mountsRead_) {
    mountsRead_ = true;
    mounts_ = ReadMountTable(mountTable_);
  }
  char buffer[PATH_MAX];
  if (::realpath(folder.c_str(), buffer) == nullptr) return false;
  const std::string_view real = buffer;
  // The last of the longest matching mount points is the one on top.
  const MountEntry* best = nullptr;
  for (const MountEntry& mount : mounts_) {
    if (IsWithinFolder(real, mount.point) &&
        (best == nullptr || mount.point.size() >= best->point.size())) {
      best = &mount;
    }
  }
  return best != nullptr && IsCaselessFileSystemType(best->type);
}

bool LocalPlanDisk::Identify(const std::string& path, FileIdentity& identity) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  identity.device = st.st_dev;
  identity.inode = st.st_ino;
  identity.size = st.st_size;
  identity.modified =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

FileSystemKind LocalPlanDisk::FolderKind(const std::string& folder) {
  if (!mountsRead_) {
    mountsRead_ = true;
    mounts_ = ReadMountTable(mountTable_);
  }
  char buffer[PATH_MAX];
  if (::realpath(folder.c_str(), buffer) == nullptr) return FileSystemKind::kUnknown;
  const MountEntry* mount = MountHolding(mounts_, buffer);
  if (mount == nullptr) return FileSystemKind::kUnknown;
  // A device is read at most once per plan.
  const auto [it, added] = kinds_.try_emplace(mount->point, FileSystemKind::kUnknown);
  if (added) it->second = KindOfMount(*mount);
  return it->second;
}

}  // namespace velmora
