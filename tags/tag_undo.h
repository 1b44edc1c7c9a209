// Taking a tag write back: the bytes a write may replace are read before it
// (the length, the last 128 bytes and the ID3v2 region at the start), kept
// by the journal, and written back exactly, the old modification time
// included, so the file ends as it was byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

struct TagUndoBytes {
  long long size = 0;  // the file's length
  std::string tail;    // its last 128 bytes (all of it when shorter)
  std::string region;  // the ID3v2 tag at the start, header to padding; "" when none
};

// The bytes of the regular file at path that a tag write may replace. A
// symbolic link or anything but a regular file is refused.
Error CaptureTagBytes(FileSystem& disk, const std::string& path, TagUndoBytes& bytes);

// The bytes as one block for a side file, and back; false on a damaged block.
std::string PackTagBytes(const TagUndoBytes& bytes);
bool UnpackTagBytes(std::string_view block, TagUndoBytes& bytes);

// Puts bytes back into the file at path: the ID3v2 region through the same
// region replacement as a write (a rewrite when its length differs), the old
// length (an appended record goes again), the old last 128 bytes, and the
// modification time mtimeNs.
Error RestoreTagBytes(FileSystem& disk, const std::string& path, const TagUndoBytes& bytes,
                      std::int64_t mtimeNs);

}  // namespace velmora
