// PosixFileSystem: folder listings for the lists, the search and the plan,
// and what the plan asks about a folder's file system.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string_view>

#include "search/name_order.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

#ifndef FS_CASEFOLD_FL
constexpr long FS_CASEFOLD_FL = 0x40000000;
#endif

enum class Kind { kFile, kFolder, kOther };

Kind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return Kind::kFile;
  if (S_ISDIR(mode)) return Kind::kFolder;
  return Kind::kOther;
}

// A link counts as a file when it leads to one (as GetFile sees it) and as
// nothing otherwise, so links to folders are never entered.
Kind KindOfLink(int dirFd, const char* name) {
  struct stat target {};
  if (::fstatat(dirFd, name, &target, 0) != 0) return Kind::kOther;
  return KindOfMode(target.st_mode) == Kind::kFile ? Kind::kFile : Kind::kOther;
}

Kind KindOf(int dirFd, const dirent& entry) {
  switch (entry.d_type) {
    case DT_REG:
      return Kind::kFile;
    case DT_DIR:
      return Kind::kFolder;
    case DT_LNK:
      return KindOfLink(dirFd, entry.d_name);
    case DT_UNKNOWN: {
      struct stat own {};
      if (::fstatat(dirFd, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) return Kind::kOther;
      return S_ISLNK(own.st_mode) ? KindOfLink(dirFd, entry.d_name) : KindOfMode(own.st_mode);
    }
    default:
      return Kind::kOther;
  }
}

struct Entry {
  std::string name;
  Kind kind;
};

// Every name in folder but "." and ".."; the errno of a failure, 0 when the
// folder was read whole. opened tells whether it could be opened at all, and
// self is then the folder's own stat.
int ReadEntries(const std::string& folder, std::vector<Entry>& entries, bool& opened,
                struct stat& self) {
  DIR* dir = ::opendir(folder.c_str());
  opened = dir != nullptr;
  if (dir == nullptr) return errno;
  const int dirFd = ::dirfd(dir);
  if (::fstat(dirFd, &self) != 0) self = {};
  int err = 0;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) {
      err = errno;
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({std::string(name), KindOf(dirFd, *entry)});
  }
  ::closedir(dir);
  return err;
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

FolderListing PosixFileSystem::ReadFolder(const std::string& folder) {
  FolderListing listing;
  std::vector<Entry> entries;
  bool opened = false;
  struct stat self {};
  const int err = ReadEntries(folder, entries, opened, self);
  // A run later pinning this folder must find the one listed here.
  if (opened && self.st_ino != 0) pins_.Saw(folder, self.st_dev, self.st_ino);
  if (err != 0) {
    listing.error = ErrorFromErrno(err, ErrnoUse::kFolder);
    return listing;
  }
  listing.files.reserve(entries.size());
  for (Entry& entry : entries) {
    if (entry.name[0] == '.') continue;  // hidden
    if (entry.kind == Kind::kFile) listing.files.push_back(std::move(entry.name));
    if (entry.kind == Kind::kFolder) listing.subFolders.push_back(std::move(entry.name));
  }
  SortNames(listing.subFolders);
  return listing;
}

bool PosixFileSystem::ListFolder(const std::string& folder, std::vector<FolderItem>& items) {
  std::vector<Entry> entries;
  bool opened = false;
  struct stat self {};
  (void)ReadEntries(folder, entries, opened, self);  // what was read before a failure counts
  items.reserve(items.size() + entries.size());
  for (Entry& entry : entries) items.push_back({std::move(entry.name), entry.kind == Kind::kFile});
  return opened;
}

PathKind PosixFileSystem::Probe(const std::string& path) {
  FolderPlace at;
  if (pins_.Resolve(path, at)) return PathKind::kOther;
  struct stat st {};
  const char* name = at.name.c_str();
  if (::fstatat(at.dir, name, &st, 0) == 0) {
    return S_ISREG(st.st_mode) ? PathKind::kFile : PathKind::kOther;
  }
  return ::fstatat(at.dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? PathKind::kOther
                                                                : PathKind::kNone;
}

const std::vector<MountEntry>& PosixFileSystem::Mounts() {
  if (!mountsRead_) {
    mountsRead_ = true;
    mounts_ = ReadMountTable(mountTable_);
  }
  return mounts_;
}

bool PosixFileSystem::IgnoresCase(const std::string& folder) {
  if (HasCaseFoldFlag(folder)) return true;
  const std::vector<MountEntry>& mounts = Mounts();
  char buffer[PATH_MAX];
  if (::realpath(folder.c_str(), buffer) == nullptr) return false;
  const std::string_view real = buffer;
  // The last of the longest matching mount points is the one on top.
  const MountEntry* best = nullptr;
  for (const MountEntry& mount : mounts) {
    if (IsWithinFolder(real, mount.point) &&
        (best == nullptr || mount.point.size() >= best->point.size())) {
      best = &mount;
    }
  }
  return best != nullptr && IsCaselessFileSystemType(best->type);
}

bool PosixFileSystem::Identify(const std::string& path, FileIdentity& identity) {
  FolderPlace at;
  if (pins_.Resolve(path, at)) return false;
  struct stat st {};
  if (::fstatat(at.dir, at.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  identity.device = st.st_dev;
  identity.inode = st.st_ino;
  identity.size = st.st_size;
  identity.modified =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

FileSystemKind PosixFileSystem::FolderKind(const std::string& folder) {
  const std::vector<MountEntry>& mounts = Mounts();
  char buffer[PATH_MAX];
  if (::realpath(folder.c_str(), buffer) == nullptr) return FileSystemKind::kUnknown;
  const MountEntry* mount = MountHolding(mounts, buffer);
  if (mount == nullptr) return FileSystemKind::kUnknown;
  const auto [it, added] = kinds_.try_emplace(mount->point, FileSystemKind::kUnknown);
  if (added) it->second = KindOfMount(*mount);
  return it->second;
}

}  // namespace velmora
