// One MP3 file opened once to read its tags and then write new ones, as the
// tag run does for each file: the ID3 version 1 record at the end and, beside
// it, the ID3v2 tag at the start. A write is planned in full as edits before
// the file is touched, then applied as a whole or not at all. ReadTag and
// WriteTag are built on it; failures are reported the same way (Location::kReadTag
// and Location::kWriteTag).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "tags/audio_tag.h"
#include "tags/id3v2_tag.h"
#include "tags/region_replace.h"
#include "tags/tag_record.h"

namespace velmora {

// True for a name ending in ".mp3" in any case: only such files get a tag
// that was not there before.
bool IsMp3Name(const std::string& path);

class TagFile {
 public:
  // Opens the file at path on disk, for reading and writing (never through a
  // link) when forWriting is set; a file that cannot be written is still
  // opened for reading. Never creates or truncates. Failures show up in Read
  // and Write. path is kept by reference: it must outlive the TagFile.
  TagFile(FileSystem& disk, const std::string& path, bool forWriting);
  TagFile(FileSystem& disk, std::string&& path, bool forWriting) = delete;
  ~TagFile();
  TagFile(const TagFile&) = delete;
  TagFile& operator=(const TagFile&) = delete;

  // As ReadTag: the tag, or the empty record; a failure is reported at 22.
  TagRecord Read(ErrorReporter& reporter);

  // As WriteTag: Plan and Apply of record alone. A failure is reported at 23
  // and returned; the file is then unchanged.
  Error Write(const TagRecord& record, ErrorReporter& reporter);

  // The ID3v2 tag at the start of the file, or nullopt when it has none; read
  // once. A failure is reported at 22 and gives nullopt.
  std::optional<Id3v2Values> ReadId3v2(ErrorReporter& reporter);

  // For a FLAC, Ogg, Opus or M4A name (HasOwnTagName): the file's own tag,
  // read once. A failure (a damaged file among them) is reported at 22 and
  // gives nullopt.
  std::optional<AudioTagValues> ReadAudioTag(ErrorReporter& reporter);
  // The edits that set changes in that tag, in full; the file is not
  // touched. A damaged file, or a save that would change the audio, fails.
  Error PlanAudioTag(const Id3v2Changes& changes, TagEdits& edits);

  // Plan and Apply of record and changes, reported as Write does.
  Error Write(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
              ErrorReporter& reporter);

  // The edits that write changes into the ID3v2 tag (mode kAlways: creating
  // one in a file named *.mp3 that has none; kNever: leaves it alone) and
  // record over the old record or after the last byte of an MP3 file. The
  // file is not touched. A failure of either part fails the whole write.
  // The room of edits' strings is reused.
  Error Plan(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode, TagEdits& edits);
  // Makes the edits of the last Plan, then closes the file; on failure the
  // file is as it was.
  Error Apply(const TagEdits& edits);
  // Reports a failure of Plan or Apply at 23.
  void Report(const Error& error, ErrorReporter& reporter) const;

  // The file's identity as opened, looked at once; null when it could not
  // be opened or looked at (Read and Plan report that).
  const FileIdentity* Identity();
  // The file's stamp when it was read; valid after a good Plan.
  [[nodiscard]] const FileStamp& stamp() const { return stamp_; }
  // What the last Write made.
  [[nodiscard]] const TagEdits& edits() const { return edits_; }
  // The file as the last good Apply left it, looked at through the open
  // file just before the close; null when that look failed.
  [[nodiscard]] const FileIdentity* Written() const { return written_ ? &*written_ : nullptr; }

 private:
  Error Stamped();
  Error PlanChecked(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
                    TagEdits& edits);
  Error PlanId3v2(const Id3v2Changes& changes, Id3v2Mode mode, std::optional<RegionEdit>& edit);
  Error PlanRecord(const TagRecord& record, const std::optional<RegionEdit>& id3v2,
                   TagEdits& edits);

  FileSystem& disk_;
  const std::string& path_;
  std::unique_ptr<OpenFile> file_;
  Error openError_;          // why the file could not be opened at all
  Error writeOpenError_;     // why it could not be opened for writing
  TagBytes lastBytes_{};     // the last 128 bytes as Read found them
  long long readSize_ = -1;  // the length Read saw; -1 before a good Read
  FileStamp stamp_;
  bool stamped_ = false;
  std::unique_ptr<Id3v2Tag> id3v2_;
  std::optional<std::optional<Id3v2Values>> id3v2Read_;  // set once read
  std::unique_ptr<AudioTag> audio_;
  std::optional<std::optional<AudioTagValues>> audioRead_;  // set once read
  TagEdits edits_;
  std::optional<FileIdentity> written_;
};

}  // namespace velmora
