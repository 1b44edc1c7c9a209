// How a new tag region at the start of a file reaches the disk: in place when
// it has the old region's length (the tag's padding absorbs the change), else
// as a new copy of the whole file in the same folder that replaces the
// original by rename. The audio bytes are copied, never changed.
#pragma once

#include <memory>
#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

// A change of the file: the bytes at [start, start + length) become bytes.
struct RegionEdit {
  long long start = 0;
  long long length = 0;
  std::string bytes;
};

// What a replacement did, kept so that it can be taken back.
struct ReplacedRegion {
  long long start = 0;
  std::string oldBytes;  // the bytes replaced; empty when there was no region
  long long newLength = 0;
  bool rewritten = false;  // a new copy of the file took the original's place
};

// Applies edit to the file at path, open read-write as file and stamped when
// it was read: a rewrite goes ahead only while the name still leads to this
// very file, unchanged. In place, a failed write puts the old bytes back. A
// rewrite writes and syncs a new file beside the original, keeps mode and
// owner and renames it over the original; file then is the new file (the
// old one is closed). On failure the file is as it was and no new file
// remains.
Error ReplaceRegion(FileSystem& disk, const std::string& path, std::unique_ptr<OpenFile>& file,
                    const FileStamp& stamp, const RegionEdit& edit, ReplacedRegion& replaced);

}  // namespace velmora
