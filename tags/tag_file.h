// One MP3 file opened once to read its tags and then write new ones, as the
// tag run does for each file: the ID3 version 1 record at the end and, beside
// it, the ID3v2 tag at the start. ReadTag and WriteTag are built on it;
// failures are reported the same way (locations 22 and 23).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "tags/id3v2_tag.h"
#include "tags/tag_record.h"

namespace velmora {

// The bytes a write replaced, for taking it back.
struct ReplacedTagBytes {
  bool hadRecord = false;  // the last 128 bytes were an ID3v1 record
  TagBytes record{};       // those bytes; else the record was appended
  bool id3v2Written = false;
  ReplacedRegion id3v2;  // the old ID3v2 region, when id3v2Written
};

// True for a name ending in ".mp3" in any case: only such files get a tag
// that was not there before.
bool IsMp3Name(const std::string& path);

class TagFile {
 public:
  // Opens the file at path on disk, for reading and writing (never through a
  // link) when forWriting is set; a file that cannot be written is still
  // opened for reading. Never creates or truncates. Failures show up in Read
  // and Write.
  TagFile(FileSystem& disk, std::string path, bool forWriting);
  ~TagFile();
  TagFile(const TagFile&) = delete;
  TagFile& operator=(const TagFile&) = delete;

  // As ReadTag: the tag, or the empty record; a failure is reported at 22.
  TagRecord Read(ErrorReporter& reporter);

  // As WriteTag: writes record over the old tag or appends it to an MP3
  // file, then closes the file. A failure is reported at 23 and returned; the file keeps its
  // length and audio bytes.
  Error Write(const TagRecord& record, ErrorReporter& reporter);

  // The ID3v2 tag at the start of the file, or nullopt when it has none; read
  // once. A failure is reported at 22 and gives nullopt.
  std::optional<Id3v2Values> ReadId3v2(ErrorReporter& reporter);

  // Writes changes into the ID3v2 tag (mode kAlways: creating one in a file
  // named *.mp3 that has none; kNever: leaves it alone), then record as
  // Write does. A failure of the ID3v2 part is reported at 23 like the
  // record's and leaves the tag as it was; the record is still written.
  Error Write(const TagRecord& record, const Id3v2Changes& changes, Id3v2Mode mode,
              ErrorReporter& reporter);

  // What the last write replaced.
  const ReplacedTagBytes& replaced() const { return replaced_; }

 private:
  Error WriteBytes(const TagBytes& bytes);
  Error WriteId3v2(const Id3v2Changes& changes, Id3v2Mode mode);

  FileSystem& disk_;
  std::string path_;
  std::unique_ptr<OpenFile> file_;
  Error openError_;          // why the file could not be opened at all
  Error writeOpenError_;     // why it could not be opened for writing
  TagBytes lastBytes_{};     // the last 128 bytes as Read found them
  long long readSize_ = -1;  // the length Read saw; -1 before a good Read
  std::unique_ptr<Id3v2Tag> id3v2_;
  std::optional<std::optional<Id3v2Values>> id3v2Read_;  // set once read
  ReplacedTagBytes replaced_;
};

}  // namespace velmora
