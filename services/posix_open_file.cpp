// PosixFileSystem: open files for the tag writers, and the new copy that
// replaces a file by rename, keeping everything of the original but its bytes.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

#include "services/crash_guard.h"
#include "services/journal_disk.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

Error TagError(int err) { return ErrorFromErrno(err, ErrnoUse::kTag); }

constexpr char kAccessAcl[] = "system.posix_acl_access";

bool NoAttributes(int err) { return err == ENOTSUP || err == ENOSYS; }

// The attribute name of fd, in value; false with errno set when there is none.
bool GetAttribute(int fd, const char* name, std::string& value) {
  for (;;) {
    const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
    if (size < 0) return false;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;  // grown meanwhile: ask again
  }
}

// The original's ACL, or none: a folder's default ACL gave the new file one.
Error KeepAcl(int from, int to) {
  std::string acl;
  if (GetAttribute(from, kAccessAcl, acl)) {
    return ::fsetxattr(to, kAccessAcl, acl.data(), acl.size(), 0) == 0 ? Error{} : TagError(errno);
  }
  if (errno != ENODATA && !NoAttributes(errno)) return TagError(errno);
  if (::fremovexattr(to, kAccessAcl) != 0 && errno != ENODATA && !NoAttributes(errno)) {
    return TagError(errno);
  }
  return {};
}

// Which extended attributes move to the new file: the user's; the
// security and trusted ones where the process may set them; ACLs have their
// own step.
bool Carried(std::string_view name) {
  if (name.starts_with("user.")) return true;
  return ::geteuid() == 0 && (name.starts_with("security.") || name.starts_with("trusted."));
}

Error KeepExtendedAttributes(int from, int to) {
  std::string names;
  for (;;) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size < 0) return NoAttributes(errno) ? Error{} : TagError(errno);
    names.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::flistxattr(from, names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<std::size_t>(got));
      break;
    }
    if (errno != ERANGE) return TagError(errno);
  }
  std::string value;
  for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
    const char* name = names.c_str() + at;
    if (!Carried(name)) continue;
    if (!GetAttribute(from, name, value)) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return TagError(errno);
    }
    if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0) return TagError(errno);
  }
  return {};
}

class PosixOpenFile : public OpenFile {
 public:
  // guard: the crash guard's handle for a new file, kNoGuard for others;
  // opened: what the open saw, which the first Stamp gives without asking
  // again.
  // use: how a failure is numbered.
  PosixOpenFile(int fd, int guard, const struct stat* opened = nullptr,
                ErrnoUse use = ErrnoUse::kTag)
      : fd_(fd), guard_(guard), use_(use) {
    if (opened != nullptr) opened_ = *opened, fresh_ = true;
  }
  ~PosixOpenFile() override {
    Unmap();
    if (fd_ >= 0) ::close(fd_);
    Unguard(guard_);
  }
  PosixOpenFile(const PosixOpenFile&) = delete;
  PosixOpenFile& operator=(const PosixOpenFile&) = delete;

  Error Stamp(FileStamp& stamp) override {
    struct stat info = opened_;
    if (!std::exchange(fresh_, false) && ::fstat(fd_, &info) != 0) return Fail(errno);
    stamp.identity.device = info.st_dev;
    stamp.identity.inode = info.st_ino;
    stamp.identity.size = info.st_size;
    stamp.identity.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.mode = info.st_mode & 07777;
    stamp.owner = info.st_uid;
    stamp.group = info.st_gid;
    stamp.links = info.st_nlink;
    return {};
  }

  Error ReadAt(std::int64_t offset, char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t got = ::pread(fd_, data, size, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return Fail(errno);
      if (got == 0) return Error{kInputPastEnd, "input past end of file"};
      data += got, size -= static_cast<std::size_t>(got), offset += got;
    }
    return {};
  }

  Error WriteAt(std::int64_t offset, const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t put = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return Fail(errno);
      if (put == 0) return Fail(ENOSPC);
      data += put, size -= static_cast<std::size_t>(put), offset += put;
    }
    if (guard_ != kNoGuard) TestSignalPoint("rewrite");
    return {};
  }

  Error Truncate(std::int64_t size) override {
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
      if (errno != EINTR) return Fail(errno);
    }
    return {};
  }

  Error SetModified(std::int64_t modified) override {
    // Floored: a time before 1970 has whole seconds below it and
    // nanoseconds counted up from there, as futimens wants them.
    std::int64_t seconds = modified / 1000000000, nanoseconds = modified % 1000000000;
    if (nanoseconds < 0) nanoseconds += 1000000000, --seconds;
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)}};
    return ::futimens(fd_, times) == 0 ? Error{} : Fail(errno);
  }

  Error KeepAttributes(OpenFile& original, const FileStamp& stamp) override {
    const auto* from = dynamic_cast<const PosixOpenFile*>(&original);
    struct stat info {};
    if (from == nullptr) return Fail(EBADF);
    if (::fstat(fd_, &info) != 0) return Fail(errno);
    if ((info.st_uid != stamp.owner || info.st_gid != stamp.group) &&
        ::fchown(fd_, stamp.owner, stamp.group) != 0) {
      return Fail(errno);
    }
    if (Error error = KeepAcl(from->fd_, fd_)) return error;
    if (::fchmod(fd_, stamp.mode & 07777) != 0) return Fail(errno);
    return KeepExtendedAttributes(from->fd_, fd_);
  }

  Error NextData(std::int64_t offset, std::int64_t size, std::int64_t& start,
                 std::int64_t& end) override {
    start = offset;
    end = size;
    const off_t data = ::lseek(fd_, static_cast<off_t>(offset), SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) start = size;  // a hole up to the end
      return errno == ENXIO || errno == EINVAL || errno == ENOTSUP ? Error{} : Fail(errno);
    }
    const off_t hole = ::lseek(fd_, data, SEEK_HOLE);
    start = std::min<std::int64_t>(data, size);
    if (hole >= 0) end = std::min<std::int64_t>(hole, size);
    return {};
  }

  Error Lock(std::int64_t start, std::int64_t length, bool exclusive, bool wait) override {
    return LockRange(fd_, static_cast<off_t>(start), static_cast<off_t>(length), exclusive, wait);
  }
  void Unlock(std::int64_t start, std::int64_t length) override {
    UnlockRange(fd_, static_cast<off_t>(start), static_cast<off_t>(length));
  }
  Error LockedElsewhere(std::int64_t start, std::int64_t length, bool& locked) override {
    return RangeLocked(fd_, static_cast<off_t>(start), static_cast<off_t>(length), locked);
  }

  Error Sync() override { return ::fsync(fd_) == 0 ? Error{} : Fail(errno); }

  const char* MapForReading(std::int64_t size) override {
    if (map_ == nullptr && size > 0 && fd_ >= 0) {
      void* map = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd_, 0);
      if (map == MAP_FAILED) return nullptr;
      map_ = map;
      mapSize_ = static_cast<std::size_t>(size);
    }
    return static_cast<const char*>(map_);
  }

  Error Close() override {
    Unmap();
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? Error{} : Fail(errno);
  }

 private:
  void Unmap() {
    if (map_ != nullptr) ::munmap(map_, mapSize_);
    map_ = nullptr;
  }

  Error Fail(int err) const { return ErrorFromErrno(err, use_); }

  int fd_;
  int guard_;
  ErrnoUse use_;
  struct stat opened_ {};
  bool fresh_ = false;
  void* map_ = nullptr;
  std::size_t mapSize_ = 0;
};

// The folder part of path (with its separator), "." for a bare name.
std::string FolderOf(const std::string& path, std::size_t slash) {
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

}  // namespace

std::unique_ptr<OpenFile> PosixFileSystem::Open(const std::string& path, OpenMode mode,
                                                Error& error) {
  // Never blocking on a FIFO; anything but a regular file is closed again.
  int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  if (mode != OpenMode::kRead) flags |= O_NOFOLLOW;
  flags |= mode == OpenMode::kReadWrite ? O_RDWR : O_RDONLY;
  FolderPlace at;
  if (Error resolved = pins_.Resolve(path, at)) {
    error = resolved;
    return nullptr;
  }
  const int fd = ::openat(at.dir, at.name.c_str(), flags);
  if (fd < 0) {
    error =
        errno == ELOOP ? Error{kPathFileAccess, "symbolic link, not followed"} : TagError(errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? TagError(EISDIR) : Error{kPathFileAccess, "not a regular file"};
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixOpenFile>(fd, kNoGuard, &info);
}

std::unique_ptr<OpenFile> PosixFileSystem::CreateBeside(const std::string& path,
                                                        std::string& created, Error& error) {
  // "NAME.velmora-tag-XXXXXX", the name cut where it would pass 255 bytes.
  constexpr std::size_t kSuffix = 19, kMaxName = 255;
  const std::size_t slash = path.rfind(kPathSeparator);
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  created = path.substr(0, name + std::min(path.size() - name, kMaxName - kSuffix)) +
            ".velmora-tag-XXXXXX";
  const int fd = ::mkostemp(created.data(), O_CLOEXEC);
  if (fd < 0) {
    error = TagError(errno);
    return nullptr;
  }
  return std::make_unique<PosixOpenFile>(fd, GuardPartialFile(created));
}

Error PosixFileSystem::ReplaceWith(const std::string& source, const std::string& target) {
  if (::rename(source.c_str(), target.c_str()) != 0) return TagError(errno);
  // The rename itself lasts only once the folder is synced.
  const std::string folder = FolderOf(target, target.rfind(kPathSeparator));
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

std::unique_ptr<OpenFile> PosixFileSystem::OpenOwn(const std::string& path, OwnFileMode mode,
                                                   Error& error) {
  int flags = O_RDWR;
  if (mode != OwnFileMode::kExisting) flags |= O_CREAT;
  if (mode == OwnFileMode::kCreateNew) flags |= O_EXCL;
  int fd = -1;
  error = OpenOwnFile(path, flags, 0600, fd);
  if (error) return nullptr;
  return std::make_unique<PosixOpenFile>(fd, kNoGuard, nullptr, ErrnoUse::kFile);
}

bool PosixFileSystem::IdentifyFileSystem(const std::string& folder, FileSystemIdentity& id) {
  FileSystemTraits traits;
  if (!FileSystemOf(folder, traits)) return false;
  id = {traits.fsid, traits.inodeStable};
  return true;
}

}  // namespace velmora
