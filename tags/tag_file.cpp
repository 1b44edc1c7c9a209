#include "tags/tag_file.h"

#include <array>
#include <cerrno>
#include <span>
#include <vector>

#include "engine/error_numbers.h"
#include "engine/report_contexts.h"
#include "engine/user_text.h"
#include "tags/audio_format.h"
#include "tags/id3v2_layout.h"

namespace velmora {
namespace {

constexpr const char* kReadContext = VELMORA_TEXT("velmora", "Fehler beim Lesen des Tag's");
constexpr long long kTagLength = static_cast<long long>(kTagSize);

Error ShortError() { return Error{kBadRecordNumber, "file is shorter than 128 bytes"}; }

std::string_view View(const TagBytes& bytes) { return {bytes.data(), bytes.size()}; }

}  // namespace

bool IsMp3Name(const std::string& path) { return AudioFormatOfName(path) == AudioFormat::kMp3; }

TagFile::TagFile(FileSystem& disk, const std::string& path, bool forWriting)
    : disk_(disk), path_(path) {
  if (forWriting) {
    file_ = disk_.Open(path_, OpenMode::kReadWrite, writeOpenError_);
    if (file_) return;
  }
  file_ = disk_.Open(path_, OpenMode::kRead, openError_);
  if (!forWriting) writeOpenError_ = ErrorFromErrno(EBADF, ErrnoUse::kTag);
}

TagFile::~TagFile() = default;

Error TagFile::Stamped() {
  if (stamped_) return {};
  if (Error error = file_->Stamp(stamp_)) return error;
  stamped_ = true;
  return {};
}

const FileIdentity* TagFile::Identity() {
  if (openError_ || Stamped()) return nullptr;
  return &stamp_.identity;
}

// The tag sits at length - 128, so a shorter file has no place for one.
TagRecord TagFile::Read(ErrorReporter& reporter) {
  Error error = openError_ ? openError_ : Stamped();
  const long long size = stamp_.identity.size;
  if (!error && size < kTagLength) error = ShortError();
  if (!error) error = file_->ReadAt(size - kTagLength, lastBytes_.data(), kTagSize);
  if (error) {
    reporter.ReportError(Location::kReadTag, error.number, kReadContext, path_, error.description);
    return {};
  }
  readSize_ = size;
  return HasTagMarker(lastBytes_) ? FromBytes(lastBytes_) : TagRecord{};
}

std::optional<Id3v2Values> TagFile::ReadId3v2(ErrorReporter& reporter) {
  if (id3v2Read_) return *id3v2Read_;
  std::optional<Id3v2Values> values;
  Error error = openError_;
  if (!error) {
    id3v2_ = std::make_unique<Id3v2Tag>(path_, *file_, !writeOpenError_);
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

std::optional<AudioTagValues> TagFile::ReadAudioTag(ErrorReporter& reporter) {
  if (audioRead_) return *audioRead_;
  AudioTagValues values;
  Error error = openError_;
  if (!error) {
    audio_ = std::make_unique<AudioTag>(
        path_, *file_, AudioFormatOfName(path_).value_or(AudioFormat::kFlac), !writeOpenError_);
    error = audio_->Read(values);
  }
  if (error) {
    reporter.ReportError(Location::kReadTag, error.number, kReadContext, path_, error.description);
    audioRead_.emplace();
    return std::nullopt;
  }
  audioRead_ = values;
  return values;
}

Error TagFile::PlanAudioTag(const Id3v2Changes& changes, TagEdits& edits) {
  edits = {};
  if (openError_) return openError_;
  if (writeOpenError_) return writeOpenError_;
  if (Error error = Stamped()) return error;
  if (!audio_) {
    audio_ = std::make_unique<AudioTag>(
        path_, *file_, AudioFormatOfName(path_).value_or(AudioFormat::kFlac), true);
  }
  Error error = audio_->Edit(changes, edits);
  audio_.reset();
  audioRead_.reset();
  if (error) return error;
  edits.oldModified = stamp_.identity.modified;
  edits.checksum = ChecksumOfWrite(edits);
  return {};
}

Error TagFile::Write(const TagRecord& record, ErrorReporter& reporter) {
  return Write(record, {}, Id3v2Mode::kNever, reporter);
}

Error TagFile::Write(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
                     ErrorReporter& reporter) {
  TagEdits edits;
  Error error = Plan(record, changes, mode, edits);
  if (!error) error = Apply(edits);
  if (!error) edits_ = std::move(edits);
  if (error) Report(error, reporter);
  return error;
}

void TagFile::Report(const Error& error, ErrorReporter& reporter) const {
  reporter.ReportError(Location::kWriteTag, error.number, kTagWriteContext, path_,
                       error.description);
}

Error TagFile::Plan(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
                    TagEdits& edits) {
  // The edits' strings keep their room for the next file of a run.
  edits.oldSize = edits.newSize = 0;
  edits.oldModified = 0;
  edits.checksum = 0;
  Error error = PlanChecked(record, changes, mode, edits);
  if (error) edits.edits.clear();
  return error;
}

Error TagFile::PlanChecked(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
                           TagEdits& edits) {
  // Bytes without the marker would not be found again and would be taken
  // for audio at the next write.
  if (!HasTagMarker(record.tag)) return InvalidArgumentError();
  if (openError_) return openError_;
  if (writeOpenError_) return writeOpenError_;
  if (Error error = Stamped()) return error;
  if (stamp_.identity.size < kTagLength) return ShortError();
  std::optional<RegionEdit> id3v2;
  if (mode != Id3v2Mode::kNever) {
    if (Error error = PlanId3v2(changes, mode, id3v2)) return error;
  }
  return PlanRecord(record, id3v2, edits);
}

// The tag library's change, accepted only where it replaces exactly the
// tag that is really there: nothing after it is ever touched.
Error TagFile::PlanId3v2(const Id3v2Changes& changes, Id3v2Mode mode,
                         std::optional<RegionEdit>& edit) {
  if (!id3v2Read_) {
    std::optional<Id3v2Values> values;
    id3v2_ = std::make_unique<Id3v2Tag>(path_, *file_, true);
    if (Error error = id3v2_->Read(values))
      return {error.number, "ID3v2 tag: " + error.description};
    id3v2Read_ = values;
  }
  const bool create = mode == Id3v2Mode::kAlways && IsMp3Name(path_);
  if (!*id3v2Read_ && !create) return {};
  Error error = id3v2_->Edit(changes, create, edit);
  id3v2_.reset();
  id3v2Read_.reset();
  if (error) return {error.number, "ID3v2 tag: " + error.description};
  if (!edit) return {};
  long long end = 0;
  if (Error damaged = Id3v2TagEnd(*file_, stamp_.identity.size, end)) return damaged;
  if (edit->start != 0 || edit->length != end) return {kInvalidFileFormat, kDamagedId3v2};
  return {};
}

// The record goes over the old one or after the last byte, on the file as
// the ID3v2 edit leaves it.
Error TagFile::PlanRecord(const TagRecord& record, const std::optional<RegionEdit>& id3v2,
                          TagEdits& edits) {
  const long long size = stamp_.identity.size;
  const long long head = id3v2 ? id3v2->length : 0;
  const std::string_view newHead = id3v2 ? std::string_view(id3v2->bytes) : std::string_view();
  const long long newSize = size - head + static_cast<long long>(newHead.size());
  std::string_view last;
  std::string joined;  // the last bytes when the new ID3v2 tag reaches into them
  if (size - head >= kTagLength) {
    if (readSize_ != size) {
      if (Error error = file_->ReadAt(size - kTagLength, lastBytes_.data(), kTagSize)) return error;
    }
    readSize_ = size;
    last = View(lastBytes_);
  } else if (newSize >= kTagLength) {
    std::string rest(static_cast<std::size_t>(size - head), '\0');
    if (Error error = file_->ReadAt(head, rest.data(), rest.size())) return error;
    joined = (std::string(newHead) + rest).substr(static_cast<std::size_t>(newSize - kTagLength));
    last = joined;
  } else {
    return ShortError();
  }
  // A marker inside the new ID3v2 tag is not a record.
  const bool over =
      HasTagMarker(last) && newSize - kTagLength >= static_cast<long long>(newHead.size());
  if (!over && !IsMp3Name(path_)) {
    return Error{kInvalidFileFormat, "no tag found, and not an MP3 file to append one to"};
  }
  const long long recordOffset = over ? newSize - kTagLength : newSize;
  edits.oldSize = size;
  edits.oldModified = stamp_.identity.modified;
  edits.newSize = recordOffset + kTagLength;
  // Assigned into the edits already there: their strings keep their room.
  edits.edits.resize(id3v2 ? 2 : 1);
  if (id3v2) {
    TagEdit& headEdit = edits.edits.front();
    headEdit.offset = 0;
    headEdit.oldBytes.assign(static_cast<std::size_t>(head), '\0');
    headEdit.newLength = static_cast<long long>(newHead.size());
    headEdit.newBytes.assign(newHead);
    if (Error error = file_->ReadAt(0, headEdit.oldBytes.data(), headEdit.oldBytes.size())) {
      return error;
    }
  }
  TagEdit& recordEdit = edits.edits.back();
  recordEdit.offset = recordOffset;
  if (over) {
    recordEdit.oldBytes.assign(last);
  } else {
    recordEdit.oldBytes.clear();
  }
  recordEdit.newLength = kTagLength;
  const TagBytes bytes = ToBytes(record);
  recordEdit.newBytes.assign(View(bytes));
  edits.checksum = ChecksumOfWrite(edits);
  return {};
}

Error TagFile::Apply(const TagEdits& edits) {
  written_.reset();
  // An MP3 write has one or two edits: their splices need no allocation.
  std::array<Splice, 2> few;
  std::vector<Splice> many;
  std::span<Splice> splices(few.data(), edits.edits.size());
  if (edits.edits.size() > few.size()) {
    many.resize(edits.edits.size());
    splices = many;
  }
  WriteSplicesInto(edits, splices);
  if (Error error = ApplySplices(disk_, path_, file_, stamp_, splices)) return error;
  stamped_ = false;
  readSize_ = -1;
  // The written file as its descriptor shows it, for the journal's done
  // record: no second look at the name after the close.
  if (FileStamp after; !file_->Stamp(after)) written_ = after.identity;
  return file_->Close();
}

TagRecord ReadTag(FileSystem& disk, const std::string& path, ErrorReporter& reporter) {
  return TagFile(disk, path, false).Read(reporter);
}

Error WriteTag(FileSystem& disk, const std::string& path, const TagRecord& record,
               ErrorReporter& reporter) {
  return TagFile(disk, path, true).Write(record, reporter);
}

}  // namespace velmora
