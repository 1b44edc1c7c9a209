#include "tags/tag_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "engine/error_numbers.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

constexpr int kReadLocation = 22;
constexpr int kWriteLocation = 23;
constexpr const char* kReadContext = VELMORA_TEXT("velmora", "Fehler beim Lesen des Tag's");
constexpr const char* kWriteContext = VELMORA_TEXT("velmora", "Fehler beim Schreiben des Tag's");
constexpr off_t kTagLength = static_cast<off_t>(kTagSize);

Error ErrorFromErrno(int err) {
  int number = 75;  // path/file access error
  switch (err) {
    case ENOENT: number = 53; break;
    case ENOTDIR: number = 76; break;
    case EACCES: case EPERM: case EROFS: case ETXTBSY: case EBUSY: number = 70; break;
    case ENOSPC: case EDQUOT: case EFBIG: number = 61; break;
    case EIO: number = 57; break;
    case EMFILE: case ENFILE: number = 67; break;
    case ENAMETOOLONG: number = 52; break;
    case ENXIO: case ENODEV: number = 68; break;
    default: break;
  }
  return Error{number, std::strerror(err)};
}

Error ReadExactly(int fd, char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t got = ::pread(fd, data, size, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ErrorFromErrno(errno);
    if (got == 0) return Error{62, "input past end of file"};
    data += got, size -= static_cast<std::size_t>(got), offset += got;
  }
  return {};
}

Error WriteExactly(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t put = ::pwrite(fd, data, size, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return ErrorFromErrno(errno);
    if (put == 0) return ErrorFromErrno(ENOSPC);
    data += put, size -= static_cast<std::size_t>(put), offset += put;
  }
  return {};
}

// Not a regular file of its own (a symbolic link, a FIFO, a device).
constexpr int kNotAFileNumber = 75;

// Opens path with flags, for writing never through a symbolic link, and never
// blocking on a FIFO; anything but a regular file is closed again and refused.
// Returns the descriptor, or -1 with error set.
int OpenRegularFile(const std::string& path, int flags, Error& error) {
  const int noFollow = (flags & O_ACCMODE) == O_RDONLY ? 0 : O_NOFOLLOW;
  const int fd = ::open(path.c_str(), flags | noFollow | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ELOOP ? Error{kNotAFileNumber, "symbolic link, not followed"}
                           : ErrorFromErrno(errno);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? ErrorFromErrno(EISDIR)
                                  : Error{kNotAFileNumber, "not a regular file"};
    ::close(fd);
    return -1;
  }
  return fd;
}

// The length of an open regular file. The tag sits at length - 128, so a
// shorter file has no place for one.
Error TagFileSize(int fd, off_t& size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(info.st_mode)) return ErrorFromErrno(EISDIR);
  if (!S_ISREG(info.st_mode)) return Error{75, "not a regular file"};
  size = info.st_size;
  if (size < kTagLength) return Error{63, "file is shorter than 128 bytes"};
  return {};
}

// Only MP3 files get a tag appended; other files are left as they are.
bool IsMp3Name(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".mp3";
}

}  // namespace

TagFile::TagFile(std::string path, bool forWriting) : path_(std::move(path)) {
  if (forWriting) {
    fd_ = OpenRegularFile(path_, O_RDWR, writeOpenError_);
    if (fd_ >= 0) return;
  }
  fd_ = OpenRegularFile(path_, O_RDONLY, openError_);
  if (!forWriting) writeOpenError_ = ErrorFromErrno(EBADF);
}

TagFile::~TagFile() {
  if (fd_ >= 0) ::close(fd_);
}

TagRecord TagFile::Read(ErrorReporter& reporter) {
  off_t size = 0;
  Error error = openError_ ? openError_ : TagFileSize(fd_, size);
  if (!error) error = ReadExactly(fd_, lastBytes_.data(), kTagSize, size - kTagLength);
  if (error) {
    reporter.ReportError(kReadLocation, error.number, kReadContext, path_, error.description);
    return {};
  }
  readSize_ = size;
  return HasTagMarker(lastBytes_) ? FromBytes(lastBytes_) : TagRecord{};
}

Error TagFile::Write(const TagRecord& record, ErrorReporter& reporter) {
  // Bytes without the marker would not be found again and would be taken
  // for audio at the next write.
  const Error error = !HasTagMarker(record.tag) ? InvalidArgumentError()
                      : openError_              ? openError_
                      : writeOpenError_         ? writeOpenError_
                                                : WriteBytes(ToBytes(record));
  if (error) {
    reporter.ReportError(kWriteLocation, error.number, kWriteContext, path_, error.description);
  }
  return error;
}

Error TagFile::WriteBytes(const TagBytes& bytes) {
  off_t size = 0;
  if (Error error = TagFileSize(fd_, size)) return error;
  // The bytes Read found are still those at the end while the length holds.
  TagBytes old = lastBytes_;
  if (size != readSize_) {
    if (Error error = ReadExactly(fd_, old.data(), kTagSize, size - kTagLength)) return error;
  }
  if (HasTagMarker(old)) {
    if (Error error = WriteExactly(fd_, bytes.data(), kTagSize, size - kTagLength)) {
      // Best effort: put the old tag back rather than leave half a record.
      WriteExactly(fd_, old.data(), kTagSize, size - kTagLength);
      return error;
    }
  } else if (!IsMp3Name(path_)) {
    return Error{321, "no tag found, and not an MP3 file to append one to"};
  } else if (Error error = WriteExactly(fd_, bytes.data(), kTagSize, size)) {
    // A partly appended record would be taken for audio: cut it off again.
    while (::ftruncate(fd_, size) != 0 && errno == EINTR) {
    }
    return error;
  }
  const int fd = fd_;
  fd_ = -1;
  // A failing close can mean that the written bytes did not land.
  return ::close(fd) == 0 ? Error{} : ErrorFromErrno(errno);
}

TagRecord ReadTag(const std::string& path, ErrorReporter& reporter) {
  return TagFile(path, false).Read(reporter);
}

Error WriteTag(const std::string& path, const TagRecord& record, ErrorReporter& reporter) {
  return TagFile(path, true).Write(record, reporter);
}

}  // namespace velmora
