#include "tags/tag_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "engine/error_numbers.h"
#include "engine/user_text.h"
#include "tags/file_io.h"

namespace velmora {
namespace {

constexpr const char* kReadContext = VELMORA_TEXT("velmora", "Fehler beim Lesen des Tag's");
constexpr const char* kWriteContext = VELMORA_TEXT("velmora", "Fehler beim Schreiben des Tag's");
constexpr off_t kTagLength = static_cast<off_t>(kTagSize);

// Opens path with flags, for writing never through a symbolic link, and never
// blocking on a FIFO; anything but a regular file is closed again and refused.
// Returns the descriptor, or -1 with error set.
int OpenRegularFile(const std::string& path, int flags, Error& error) {
  const int noFollow = (flags & O_ACCMODE) == O_RDONLY ? 0 : O_NOFOLLOW;
  const int fd = ::open(path.c_str(), flags | noFollow | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ELOOP ? Error{kPathFileAccess, "symbolic link, not followed"}
                           : TagErrorFromErrno(errno);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? TagErrorFromErrno(EISDIR)
                                  : Error{kPathFileAccess, "not a regular file"};
    ::close(fd);
    return -1;
  }
  return fd;
}

// The length of an open regular file. The tag sits at length - 128, so a
// shorter file has no place for one.
Error TagFileSize(int fd, off_t& size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return TagErrorFromErrno(errno);
  if (S_ISDIR(info.st_mode)) return TagErrorFromErrno(EISDIR);
  if (!S_ISREG(info.st_mode)) return Error{kPathFileAccess, "not a regular file"};
  size = info.st_size;
  if (size < kTagLength) return Error{kBadRecordNumber, "file is shorter than 128 bytes"};
  return {};
}

}  // namespace

bool IsMp3Name(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".mp3";
}

TagFile::TagFile(std::string path, bool forWriting) : path_(std::move(path)) {
  if (forWriting) {
    fd_ = OpenRegularFile(path_, O_RDWR, writeOpenError_);
    if (fd_ >= 0) return;
  }
  fd_ = OpenRegularFile(path_, O_RDONLY, openError_);
  if (!forWriting) writeOpenError_ = TagErrorFromErrno(EBADF);
}

TagFile::~TagFile() {
  if (fd_ >= 0) ::close(fd_);
}

TagRecord TagFile::Read(ErrorReporter& reporter) {
  off_t size = 0;
  Error error = openError_ ? openError_ : TagFileSize(fd_, size);
  if (!error) error = ReadExactly(fd_, lastBytes_.data(), kTagSize, size - kTagLength);
  if (error) {
    reporter.ReportError(Location::kReadTag, error.number, kReadContext, path_, error.description);
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
    reporter.ReportError(Location::kWriteTag, error.number, kWriteContext, path_,
                         error.description);
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
  replaced_.hadRecord = HasTagMarker(old);
  replaced_.record = old;
  if (HasTagMarker(old)) {
    if (Error error = WriteExactly(fd_, bytes.data(), kTagSize, size - kTagLength)) {
      // Best effort: put the old tag back rather than leave half a record.
      (void)WriteExactly(fd_, old.data(), kTagSize, size - kTagLength);
      return error;
    }
  } else if (!IsMp3Name(path_)) {
    return Error{kInvalidFileFormat, "no tag found, and not an MP3 file to append one to"};
  } else if (Error error = WriteExactly(fd_, bytes.data(), kTagSize, size)) {
    // A partly appended record would be taken for audio: cut it off again.
    while (::ftruncate(fd_, size) != 0 && errno == EINTR) {
    }
    return error;
  }
  const int fd = fd_;
  fd_ = -1;
  // A failing close can mean that the written bytes did not land.
  return ::close(fd) == 0 ? Error{} : TagErrorFromErrno(errno);
}

std::optional<Id3v2Values> TagFile::ReadId3v2(ErrorReporter& reporter) {
  if (id3v2Read_) return *id3v2Read_;
  std::optional<Id3v2Values> values;
  Error error = openError_;
  if (!error) {
    id3v2_ = std::make_unique<Id3v2Tag>(path_, fd_, !writeOpenError_);
    error = id3v2_->Read(values);
  }
  if (error) {
    reporter.ReportError(Location::kReadTag, error.number, kReadContext, path_,
                         "ID3v2 tag: " + error.description);
    values.reset();
  }
  id3v2Read_ = values;
  return values;
}

Error TagFile::Write(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
                     ErrorReporter& reporter) {
  // A file that cannot be written at all is reported once, by the record.
  if (mode != Id3v2Mode::kNever && !openError_ && !writeOpenError_ && HasTagMarker(record.tag)) {
    if (Error error = WriteId3v2(changes, mode)) {
      reporter.ReportError(Location::kWriteTag, error.number, kWriteContext, path_,
                           "ID3v2 tag: " + error.description);
    }
  }
  return Write(record, reporter);
}

Error TagFile::WriteId3v2(const Id3v2Changes& changes, Id3v2Mode mode) {
  if (!id3v2Read_) {
    std::optional<Id3v2Values> values;
    id3v2_ = std::make_unique<Id3v2Tag>(path_, fd_, true);
    if (Error error = id3v2_->Read(values)) return error;
    id3v2Read_ = values;
  }
  const bool create = mode == Id3v2Mode::kAlways && IsMp3Name(path_);
  if (!*id3v2Read_ && !create) return {};
  bool written = false;
  const Error error = id3v2_->Write(changes, create, fd_, replaced_.id3v2, written);
  replaced_.id3v2Written = written;
  id3v2_.reset();
  id3v2Read_.reset();
  return error;
}

TagRecord ReadTag(const std::string& path, ErrorReporter& reporter) {
  return TagFile(path, false).Read(reporter);
}

Error WriteTag(const std::string& path, const TagRecord& record, ErrorReporter& reporter) {
  return TagFile(path, true).Write(record, reporter);
}

}  // namespace velmora
