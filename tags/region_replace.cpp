#include "tags/region_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "engine/error_numbers.h"
#include "engine/path.h"
#include "tags/file_io.h"

namespace velmora {
namespace {

constexpr std::size_t kCopyChunk = 1 << 20;

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameFile(const struct stat& info, const FileStamp& stamp) {
  return S_ISREG(info.st_mode) && info.st_dev == stamp.device && info.st_ino == stamp.inode &&
         info.st_size == stamp.size && SameTime(info.st_mtim, stamp.modified);
}

Error CopyRange(int from, int to, off_t offset, off_t length, off_t target) {
  std::vector<char> buffer(static_cast<std::size_t>(std::min<off_t>(length, kCopyChunk)));
  while (length > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<off_t>(length, kCopyChunk));
    if (Error error = ReadExactly(from, buffer.data(), n, offset)) return error;
    if (Error error = WriteExactly(to, buffer.data(), n, target)) return error;
    offset += static_cast<off_t>(n), target += static_cast<off_t>(n);
    length -= static_cast<off_t>(n);
  }
  return {};
}

// The new file's content: the original with the edit applied.
Error WriteEdited(int from, int to, off_t size, const RegionEdit& edit) {
  const off_t start = static_cast<off_t>(edit.start);
  const off_t end = static_cast<off_t>(edit.start + edit.length);
  const off_t bytes = static_cast<off_t>(edit.bytes.size());
  if (Error error = CopyRange(from, to, 0, start, 0)) return error;
  if (Error error = WriteExactly(to, edit.bytes.data(), edit.bytes.size(), start)) return error;
  return CopyRange(from, to, end, size - end, start + bytes);
}

// Mode and owner of the original; the owner first, as a change of owner
// clears the set-user-ID bit.
Error KeepModeAndOwner(int fd, const FileStamp& stamp) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return TagErrorFromErrno(errno);
  if ((info.st_uid != stamp.owner || info.st_gid != stamp.group) &&
      ::fchown(fd, stamp.owner, stamp.group) != 0) {
    return TagErrorFromErrno(errno);
  }
  if (::fchmod(fd, stamp.mode & 07777) != 0) return TagErrorFromErrno(errno);
  return {};
}

Error Rewrite(const std::string& path, int& fd, const FileStamp& stamp, const RegionEdit& edit) {
  const std::size_t slash = path.rfind(kPathSeparator);
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = (slash == std::string::npos ? "" : folder) + "." + name + ".velmora-XXXXXX";
  const int out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) return TagErrorFromErrno(errno);
  Error error = WriteEdited(fd, out, stamp.size, edit);
  if (!error) error = KeepModeAndOwner(out, stamp);
  if (!error && ::fsync(out) != 0) error = TagErrorFromErrno(errno);
  struct stat now {};
  if (!error && (::lstat(path.c_str(), &now) != 0 || !SameFile(now, stamp))) {
    error = Error{kPathFileAccess, "the file changed while its tag was written"};
  }
  if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = TagErrorFromErrno(errno);
  if (error) {
    ::close(out);
    ::unlink(temp.c_str());
    return error;
  }
  // The rename itself lasts only once the folder is synced.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  ::close(fd);
  fd = out;
  return {};
}

}  // namespace

Error StampOf(int fd, FileStamp& stamp) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return TagErrorFromErrno(errno);
  stamp = {info.st_dev,  info.st_ino, info.st_size, info.st_mtim,
           info.st_mode, info.st_uid, info.st_gid};
  return {};
}

Error ReplaceRegion(const std::string& path, int& fd, const FileStamp& stamp,
                    const RegionEdit& edit, ReplacedRegion& replaced) {
  if (edit.start < 0 || edit.length < 0 || edit.start + edit.length > stamp.size) {
    return Error{kInvalidArgument, "tag region outside the file"};
  }
  replaced.start = edit.start;
  replaced.newLength = static_cast<long long>(edit.bytes.size());
  replaced.oldBytes.assign(static_cast<std::size_t>(edit.length), '\0');
  if (Error error = ReadExactly(fd, replaced.oldBytes.data(), replaced.oldBytes.size(),
                                static_cast<off_t>(edit.start))) {
    return error;
  }
  if (static_cast<long long>(edit.bytes.size()) != edit.length) {
    replaced.rewritten = true;
    return Rewrite(path, fd, stamp, edit);
  }
  struct stat now {};
  if (::fstat(fd, &now) != 0 || !SameFile(now, stamp)) {
    return Error{kPathFileAccess, "the file changed while its tag was written"};
  }
  const off_t start = static_cast<off_t>(edit.start);
  if (Error error = WriteExactly(fd, edit.bytes.data(), edit.bytes.size(), start)) {
    // Best effort: the old region back rather than half a tag.
    (void)WriteExactly(fd, replaced.oldBytes.data(), replaced.oldBytes.size(), start);
    return error;
  }
  return {};
}

}  // namespace velmora
