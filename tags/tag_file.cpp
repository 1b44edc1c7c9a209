#include "tags/tag_file.h"

#include <cctype>
#include <cerrno>

#include "engine/error_numbers.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

constexpr const char* kReadContext = VELMORA_TEXT("velmora", "Fehler beim Lesen des Tag's");
constexpr const char* kWriteContext = VELMORA_TEXT("velmora", "Fehler beim Schreiben des Tag's");
constexpr long long kTagLength = static_cast<long long>(kTagSize);

// The length of the open file. The tag sits at length - 128, so a shorter
// file has no place for one.
Error TagFileSize(OpenFile& file, long long& size) {
  FileStamp stamp;
  if (Error error = file.Stamp(stamp)) return error;
  size = stamp.identity.size;
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

TagFile::TagFile(FileSystem& disk, std::string path, bool forWriting)
    : disk_(disk), path_(std::move(path)) {
  if (forWriting) {
    file_ = disk_.Open(path_, OpenMode::kReadWrite, writeOpenError_);
    if (file_) return;
  }
  file_ = disk_.Open(path_, OpenMode::kRead, openError_);
  if (!forWriting) writeOpenError_ = ErrorFromErrno(EBADF, ErrnoUse::kTag);
}

TagFile::~TagFile() = default;

TagRecord TagFile::Read(ErrorReporter& reporter) {
  long long size = 0;
  Error error = openError_ ? openError_ : TagFileSize(*file_, size);
  if (!error) error = file_->ReadAt(size - kTagLength, lastBytes_.data(), kTagSize);
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
  long long size = 0;
  if (Error error = TagFileSize(*file_, size)) return error;
  // The bytes Read found are still those at the end while the length holds.
  TagBytes old = lastBytes_;
  if (size != readSize_) {
    if (Error error = file_->ReadAt(size - kTagLength, old.data(), kTagSize)) return error;
  }
  replaced_.hadRecord = HasTagMarker(old);
  replaced_.record = old;
  if (HasTagMarker(old)) {
    if (Error error = file_->WriteAt(size - kTagLength, bytes.data(), kTagSize)) {
      // Best effort: put the old tag back rather than leave half a record.
      (void)file_->WriteAt(size - kTagLength, old.data(), kTagSize);
      return error;
    }
  } else if (!IsMp3Name(path_)) {
    return Error{kInvalidFileFormat, "no tag found, and not an MP3 file to append one to"};
  } else if (Error error = file_->WriteAt(size, bytes.data(), kTagSize)) {
    // A partly appended record would be taken for audio: cut it off again.
    (void)file_->Truncate(size);
    return error;
  }
  return file_->Close();
}

std::optional<Id3v2Values> TagFile::ReadId3v2(ErrorReporter& reporter) {
  if (id3v2Read_) return *id3v2Read_;
  std::optional<Id3v2Values> values;
  Error error = openError_;
  if (!error) {
    id3v2_ = std::make_unique<Id3v2Tag>(disk_, path_, *file_, !writeOpenError_);
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
    id3v2_ = std::make_unique<Id3v2Tag>(disk_, path_, *file_, true);
    if (Error error = id3v2_->Read(values)) return error;
    id3v2Read_ = values;
  }
  const bool create = mode == Id3v2Mode::kAlways && IsMp3Name(path_);
  if (!*id3v2Read_ && !create) return {};
  bool written = false;
  const Error error = id3v2_->Write(changes, create, file_, replaced_.id3v2, written);
  replaced_.id3v2Written = written;
  id3v2_.reset();
  id3v2Read_.reset();
  return error;
}

TagRecord ReadTag(FileSystem& disk, const std::string& path, ErrorReporter& reporter) {
  return TagFile(disk, path, false).Read(reporter);
}

Error WriteTag(FileSystem& disk, const std::string& path, const TagRecord& record,
               ErrorReporter& reporter) {
  return TagFile(disk, path, true).Write(record, reporter);
}

}  // namespace velmora
