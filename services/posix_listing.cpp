// PosixFileSystem: folder listings for the lists, the search and the plan
// (the search's kept for the plan while they hold), and what the plan asks
// about a folder's file system.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <iterator>
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

// File systems that set a folder's times on every change to its names, here
// on this machine: what they show cannot be a cached or remote view.
bool LocalTimes(int dirFd) {
  struct statfs fs {};
  if (::fstatfs(dirFd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
}

// Calls take(name, kind, link) for every name in folder but "." and ".."
// (link set where it may be a link), after begin(room) with about the number
// of names to come; the errno of a failure, 0 when the folder was read
// whole. opened tells whether it could be opened at all, and self is then
// the folder's own stat. With local set, it tells LocalTimes.
template <typename Begin, typename Take>
int ReadEntries(const std::string& folder, const Begin& begin, const Take& take, bool& opened,
                struct stat& self, bool* local = nullptr) {
  DIR* dir = ::opendir(folder.c_str());
  opened = dir != nullptr;
  if (dir == nullptr) return errno;
  const int dirFd = ::dirfd(dir);
  if (::fstat(dirFd, &self) != 0) self = {};
  if (local != nullptr) *local = LocalTimes(dirFd);
  // Room for about the names a folder of this size holds; room never
  // written costs no memory.
  begin(std::min<std::size_t>(static_cast<std::size_t>(self.st_size) / 16, std::size_t{1} << 20));
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
    take(name, KindOf(dirFd, *entry), entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN);
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

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

void PosixFileSystem::KeepListingsForPlan(bool keep) {
  keepListings_ = keep;
  if (!keep) kept_.clear();
}

bool IsCaselessFileSystemType(const std::string& type) {
  static constexpr std::string_view kCaseless[] = {
      "vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk", "cifs", "smb3", "smbfs", "fuse.exfat"};
  return std::find(std::begin(kCaseless), std::end(kCaseless), type) != std::end(kCaseless);
}

FolderListing PosixFileSystem::ReadFolder(const std::string& folder) {
  FolderListing listing;
  bool opened = false;
  bool local = false;
  struct stat self {};
  // Any change to the folder's names from now on stamps it with this time or
  // a later one (the kernel's file times come from the same coarse clock).
  timespec start{};
  if (keepListings_) ::clock_gettime(CLOCK_REALTIME_COARSE, &start);
  std::vector<FolderItem> items;
  // A link's kind is its target's, which can change without the folder.
  bool links = false;
  const auto begin = [&](std::size_t room) {
    listing.files.Reserve(room, room * 16);
    if (keepListings_) items.reserve(room);
  };
  const auto take = [&](std::string_view name, Kind kind, bool link) {
    links = links || link;
    if (keepListings_) items.push_back({std::string(name), kind == Kind::kFile});
    if (name[0] == '.') return;  // hidden
    if (kind == Kind::kFile) listing.files.Add(name);
    if (kind == Kind::kFolder) listing.subFolders.emplace_back(name);
  };
  const int err = ReadEntries(folder, begin, take, opened, self, keepListings_ ? &local : nullptr);
  // A run later pinning this folder must find the one listed here.
  if (opened && self.st_ino != 0) pins_.Saw(folder, self.st_dev, self.st_ino);
  if (err != 0) {
    listing = {ErrorFromErrno(err, ErrnoUse::kFolder), {}, {}};
    return listing;
  }
  // Only a folder last changed before the reading began: a change in the
  // same clock tick would leave its times as they were.
  if (keepListings_ && local && !links && self.st_ino != 0 && Before(self.st_ctim, start) &&
      Before(self.st_mtim, start)) {
    kept_[WithTrailingSeparator(folder)] = {std::move(items), self.st_dev, self.st_ino,
                                            self.st_mtim, self.st_ctim};
  }
  SortNames(listing.subFolders);
  return listing;
}

bool PosixFileSystem::TakeKeptListing(const std::string& folder, std::vector<FolderItem>& items) {
  const std::string key = WithTrailingSeparator(folder);
  const auto it = kept_.find(key);
  if (it == kept_.end()) return false;
  KeptListing kept = std::move(it->second);
  kept_.erase(it);
  // The folder itself, as the run will reach it: only a pinned one counts
  // (a folder below it is opened when the run gets there, not before).
  const int pinned = pins_.PinnedDescriptor(key);
  struct stat now {};
  if (pinned < 0 || ::fstatat(pinned, "", &now, AT_EMPTY_PATH) != 0) return false;
  if (now.st_dev != kept.device || now.st_ino != kept.inode ||
      !SameTime(now.st_mtim, kept.modified) || !SameTime(now.st_ctim, kept.changed)) {
    return false;
  }
  if (items.empty()) {
    items = std::move(kept.items);
  } else {
    std::move(kept.items.begin(), kept.items.end(), std::back_inserter(items));
  }
  return true;
}

bool PosixFileSystem::ListFolder(const std::string& folder, std::vector<FolderItem>& items) {
  bool opened = false;
  struct stat self {};
  const auto begin = [&items](std::size_t room) {
    if (items.empty()) items.reserve(room);
  };
  const auto take = [&items](std::string_view name, Kind kind, bool) {
    items.push_back({std::string(name), kind == Kind::kFile});
  };
  (void)ReadEntries(folder, begin, take, opened, self);  // what was read before a failure counts
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
