#include "tags/tag_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/error_numbers.h"
#include "tags/windows1252.h"

namespace velmora {
namespace {

constexpr int kReadLocation = 22;
constexpr int kWriteLocation = 23;
constexpr const char* kReadContext = "Fehler beim Lesen des Tag's";
constexpr const char* kWriteContext = "Fehler beim Schreiben des Tag's";

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

// The tag sits at n - 128; a shorter file has no place for one.
Error TooShort() { return Error{63, "file is shorter than 128 bytes"}; }

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now; a failing close can mean that written data did not land.
  Error Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? Error{} : ErrorFromErrno(errno);
  }

 private:
  int fd_;
};

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

// The length of an open regular file, or the failure.
Error RegularFileSize(int fd, off_t& size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(info.st_mode)) return ErrorFromErrno(EISDIR);
  if (!S_ISREG(info.st_mode)) return Error{75, "not a regular file"};
  size = info.st_size;
  return {};
}

Error ReadLastBytes(const std::string& path, TagBytes& bytes) {
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return ErrorFromErrno(errno);
  off_t size = 0;
  if (Error error = RegularFileSize(file.get(), size)) return error;
  if (size < static_cast<off_t>(kTagSize)) return TooShort();
  return ReadExactly(file.get(), bytes.data(), kTagSize, size - static_cast<off_t>(kTagSize));
}

Error WriteRecord(const std::string& path, const TagBytes& bytes) {
  FileHandle file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  if (file.get() < 0) return ErrorFromErrno(errno);
  off_t size = 0;
  if (Error error = RegularFileSize(file.get(), size)) return error;
  if (size < static_cast<off_t>(kTagSize)) return TooShort();
  const off_t tagOffset = size - static_cast<off_t>(kTagSize);
  TagBytes old{};
  if (Error error = ReadExactly(file.get(), old.data(), kTagSize, tagOffset)) return error;

  if (HasTagMarker(old)) {
    if (Error error = WriteExactly(file.get(), bytes.data(), kTagSize, tagOffset)) {
      // Best effort: put the old tag back rather than leave half a record.
      WriteExactly(file.get(), old.data(), kTagSize, tagOffset);
      return error;
    }
  } else if (Error error = WriteExactly(file.get(), bytes.data(), kTagSize, size)) {
    // A partly appended record would be taken for audio: cut it off again.
    while (::ftruncate(file.get(), size) != 0 && errno == EINTR) {
    }
    return error;
  }
  return file.Close();
}

}  // namespace

TagBytes ToBytes(const TagRecord& record) {
  TagBytes bytes{};
  auto out = bytes.begin();
  for (const std::span<const char> field :
       {std::span<const char>(record.tag), std::span<const char>(record.title),
        std::span<const char>(record.artist), std::span<const char>(record.album),
        std::span<const char>(record.year), std::span<const char>(record.comment)}) {
    out = std::copy(field.begin(), field.end(), out);
  }
  *out = static_cast<char>(record.genre);
  return bytes;
}

TagRecord FromBytes(const TagBytes& bytes) {
  TagRecord record;
  auto in = bytes.begin();
  for (const std::span<char> field :
       {std::span<char>(record.tag), std::span<char>(record.title),
        std::span<char>(record.artist), std::span<char>(record.album),
        std::span<char>(record.year), std::span<char>(record.comment)}) {
    std::copy(in, in + static_cast<std::ptrdiff_t>(field.size()), field.begin());
    in += static_cast<std::ptrdiff_t>(field.size());
  }
  record.genre = static_cast<unsigned char>(*in);
  return record;
}

bool HasTagMarker(std::span<const char> bytes) {
  return bytes.size() >= 3 && bytes[0] == 'T' && bytes[1] == 'A' && bytes[2] == 'G';
}

std::string FieldText(std::span<const char> field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  return Windows1252ToUtf8(std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
}

void SetFieldText(std::span<char> field, const std::string& text) {
  // One byte per character, so cutting the bytes cuts characters.
  const std::string bytes = Utf8ToWindows1252(text);
  const std::size_t length = std::min(bytes.size(), field.size());
  std::copy_n(bytes.begin(), length, field.begin());
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(length), field.end(), ' ');
}

TagRecord ReadTag(const std::string& path, ErrorReporter& reporter) {
  TagBytes bytes{};
  if (Error error = ReadLastBytes(path, bytes)) {
    reporter.ReportError(kReadLocation, error.number, kReadContext, path, error.description);
    return {};
  }
  return HasTagMarker(bytes) ? FromBytes(bytes) : TagRecord{};
}

Error WriteTag(const std::string& path, const TagRecord& record, ErrorReporter& reporter) {
  Error error = HasTagMarker(record.tag) ? WriteRecord(path, ToBytes(record))
                                         : InvalidArgumentError();
  if (error) {
    reporter.ReportError(kWriteLocation, error.number, kWriteContext, path, error.description);
  }
  return error;
}

}  // namespace velmora
