// One MP3 file opened once to read its ID3 version 1 tag and then write a new
// one, as the tag run does for each file. ReadTag and WriteTag are built on
// it; failures are reported the same way (locations 22 and 23).
#pragma once

#include <string>

#include "engine/error_reporter.h"
#include "tags/tag_record.h"

namespace velmora {

class TagFile {
 public:
  // Opens the file at path, for reading and writing when forWriting is set;
  // a file that cannot be written is still opened for reading. Never creates
  // or truncates. Failures show up in Read and Write.
  TagFile(std::string path, bool forWriting);
  ~TagFile();
  TagFile(const TagFile&) = delete;
  TagFile& operator=(const TagFile&) = delete;

  // As ReadTag: the tag, or the empty record; a failure is reported at 22.
  TagRecord Read(ErrorReporter& reporter);

  // As WriteTag: writes record over the old tag or appends it to an MP3
  // file, then closes the file. A failure is reported at 23 and returned; the file keeps its
  // length and audio bytes.
  Error Write(const TagRecord& record, ErrorReporter& reporter);

 private:
  Error WriteBytes(const TagBytes& bytes);

  std::string path_;
  int fd_ = -1;
  Error openError_;       // why the file could not be opened at all
  Error writeOpenError_;  // why it could not be opened for writing
  TagBytes lastBytes_{};     // the last 128 bytes as Read found them
  long long readSize_ = -1;  // the length Read saw; -1 before a good Read
};

}  // namespace velmora
