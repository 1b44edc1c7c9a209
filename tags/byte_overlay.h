// A file's bytes as a tag library's save leaves them, kept in memory over
// the unchanged file: any number of writes, inserts and removals, each seen
// by the reads after it (an MP4 save reads back the chunk offsets it moved,
// an Ogg save the pages it renumbers). The disk is never touched; the result
// is the write's edits against the file, in file order.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "engine/error_reporter.h"
#include "tags/region_replace.h"

namespace velmora {

class ByteOverlay {
 public:
  // Reads size bytes of the unchanged file at offset.
  using BaseRead = std::function<Error(long long offset, char* data, std::size_t size)>;

  // An overlay without changes over a file of size bytes.
  ByteOverlay(BaseRead base, long long size);

  // The length of the changed file.
  [[nodiscard]] long long size() const { return size_; }

  // The bytes at [start, start + length) become bytes; start and length are
  // clipped to the file.
  void Replace(long long start, long long length, std::string_view bytes);

  // Exactly size bytes of the changed file at offset; past the end is
  // kInputPastEnd.
  Error Read(long long offset, char* data, std::size_t size) const;

  // The one stretch of the unchanged file that holds every change, and its
  // new bytes; nullopt without changes.
  Error Span(std::optional<RegionEdit>& span) const;

  // The changes as edits in file order, bytes written unchanged left out:
  // oldSize, newSize and each edit's offset, old and new bytes are set.
  Error Edits(TagEdits& edits) const;

 private:
  // A stretch of the changed file: bytes of the unchanged file from origin
  // on, or (origin -1) bytes of its own.
  struct Piece {
    long long length = 0;
    long long origin = -1;
    std::string bytes;
  };
  // A stretch of the unchanged file, [oldStart, oldEnd), that became the
  // changed file's [newStart, newEnd).
  struct Gap {
    long long oldStart, oldEnd, newStart, newEnd;
  };

  // Splits the pieces so that one starts at offset; returns its start key.
  long long SplitAt(long long offset);
  void MergeAround(long long start);
  [[nodiscard]] std::vector<Gap> Gaps() const;

  BaseRead base_;
  long long baseSize_;
  long long size_;
  std::map<long long, Piece> pieces_;  // by start in the changed file
};

}  // namespace velmora
