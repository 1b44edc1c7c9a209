// PosixFileSystem: open files for the tag writers, and the new copy that
// replaces a file by rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "services/posix_file_system.h"

namespace velmora {
namespace {

Error TagError(int err) { return ErrorFromErrno(err, ErrnoUse::kTag); }

class PosixOpenFile : public OpenFile {
 public:
  explicit PosixOpenFile(int fd) : fd_(fd) {}
  ~PosixOpenFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixOpenFile(const PosixOpenFile&) = delete;
  PosixOpenFile& operator=(const PosixOpenFile&) = delete;

  Error Stamp(FileStamp& stamp) override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return TagError(errno);
    stamp.identity.device = info.st_dev;
    stamp.identity.inode = info.st_ino;
    stamp.identity.size = info.st_size;
    stamp.identity.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.mode = info.st_mode & 07777;
    stamp.owner = info.st_uid;
    stamp.group = info.st_gid;
    return {};
  }

  Error ReadAt(std::int64_t offset, char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t got = ::pread(fd_, data, size, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return TagError(errno);
      if (got == 0) return Error{kInputPastEnd, "input past end of file"};
      data += got, size -= static_cast<std::size_t>(got), offset += got;
    }
    return {};
  }

  Error WriteAt(std::int64_t offset, const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t put = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return TagError(errno);
      if (put == 0) return TagError(ENOSPC);
      data += put, size -= static_cast<std::size_t>(put), offset += put;
    }
    return {};
  }

  Error Truncate(std::int64_t size) override {
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
      if (errno != EINTR) return TagError(errno);
    }
    return {};
  }

  Error SetModified(std::int64_t modified) override {
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(modified / 1000000000), static_cast<long>(modified % 1000000000)}};
    return ::futimens(fd_, times) == 0 ? Error{} : TagError(errno);
  }

  Error KeepModeAndOwner(const FileStamp& stamp) override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return TagError(errno);
    if ((info.st_uid != stamp.owner || info.st_gid != stamp.group) &&
        ::fchown(fd_, stamp.owner, stamp.group) != 0) {
      return TagError(errno);
    }
    if (::fchmod(fd_, stamp.mode & 07777) != 0) return TagError(errno);
    return {};
  }

  Error Sync() override { return ::fsync(fd_) == 0 ? Error{} : TagError(errno); }

  Error Close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? Error{} : TagError(errno);
  }

 private:
  int fd_;
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
  return std::make_unique<PosixOpenFile>(fd);
}

std::unique_ptr<OpenFile> PosixFileSystem::CreateBeside(const std::string& path,
                                                        std::string& created, Error& error) {
  const std::size_t slash = path.rfind(kPathSeparator);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  created =
      (slash == std::string::npos ? "" : FolderOf(path, slash)) + "." + name + ".velmora-XXXXXX";
  const int fd = ::mkostemp(created.data(), O_CLOEXEC);
  if (fd < 0) {
    error = TagError(errno);
    return nullptr;
  }
  return std::make_unique<PosixOpenFile>(fd);
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

}  // namespace velmora
