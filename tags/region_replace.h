// How a tag write reaches the disk: as edits computed in full before the
// file is touched, so that the journal can hold them first and undo can take
// exactly them back. Edits that keep their length (and one at the end of the
// file) are made in place; any other makes a new copy of the file beside it
// that keeps everything of the original but those bytes (owner, ACL, mode,
// extended attributes, holes) and replaces it by rename. Bytes outside the
// edits are copied, never changed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

// A change of the file: the bytes at [start, start + length) become bytes.
struct RegionEdit {
  long long start = 0;
  long long length = 0;
  std::string bytes;
};

// One edit of a tag write. offset is where its new bytes lie in the written
// file; the edits before it in the list are at lower offsets.
struct TagEdit {
  long long offset = 0;
  std::string oldBytes;  // what the new bytes replaced
  long long newLength = 0;
  std::string newBytes;  // the bytes written; kept in memory only
};

// A whole tag write: its edits in file order, none overlapping another, and
// what undo checks before and after taking them back.
struct TagEdits {
  long long oldSize = 0;
  std::int64_t oldModified = 0;  // nanoseconds
  long long newSize = 0;
  std::uint64_t checksum = 0;  // EditedChecksum of the written file
  std::vector<TagEdit> edits;
};

// A checksum (64-bit FNV-1a) of a file's length and of its bytes at the
// given regions (offset, bytes), in order: what a tag write leaves behind.
class EditedChecksum {
 public:
  explicit EditedChecksum(long long size);
  void Add(long long offset, std::string_view bytes);
  [[nodiscard]] std::uint64_t value() const { return value_; }

 private:
  void Mix(std::string_view bytes);
  std::uint64_t value_;
};

// The checksum of edits' new bytes at their offsets in a file of newSize.
std::uint64_t ChecksumOfWrite(const TagEdits& edits);

// A stretch [start, start + length) of the file as it is now that becomes
// bytes; old holds the bytes there now, to put back when a write fails.
struct Splice {
  long long start = 0;
  long long length = 0;
  std::string_view bytes;
  std::string_view old;
};

// The splices that make edits' write, and those that take it back.
std::vector<Splice> WriteSplices(const TagEdits& edits);
// The same into splices, which holds one per edit.
void WriteSplicesInto(const TagEdits& edits, std::span<Splice> splices);
std::vector<Splice> UndoSplices(const TagEdits& edits);

// Applies splices (ascending, none overlapping) to the file at path, open
// read-write as file and stamped as stamp when it was read. In place when
// each keeps its length, the last one also where it reaches the file's end;
// a failed write puts the old bytes back. Otherwise a rewrite, refused for a
// file with more than one name: a new file beside the original takes the
// original's attributes, the kept bytes (holes stay holes) and the splices,
// is synced and renamed over the original while the name still leads to
// this very file, unchanged; file then is the new file. On failure the file
// is as it was and no new file remains.
Error ApplySplices(FileSystem& disk, const std::string& path, std::unique_ptr<OpenFile>& file,
                   const FileStamp& stamp, std::span<const Splice> splices);

}  // namespace velmora
