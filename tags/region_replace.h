// How a new tag region at the start of a file reaches the disk: in place when
// it has the old region's length (the tag's padding absorbs the change), else
// as a new copy of the whole file in the same folder that replaces the
// original by rename. The audio bytes are copied, never changed.
#pragma once

#include <sys/stat.h>

#include <string>

#include "engine/error_reporter.h"

namespace velmora {

// What identifies the file as it was read: a rewrite goes ahead only while
// the name still leads to this very file, unchanged.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  mode_t mode = 0;
  uid_t owner = 0;
  gid_t group = 0;
};

// The stamp of an open file.
Error StampOf(int fd, FileStamp& stamp);

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

// Applies edit to the file at path, open read-write as fd and stamped when it
// was read. In place, a failed write puts the old bytes back. A rewrite
// writes and syncs a temporary file beside the original, keeps mode and
// owner, checks that path is still the stamped file and renames over it; fd
// then belongs to the new file (the old one is closed). On failure the file
// is as it was and no temporary file remains.
Error ReplaceRegion(const std::string& path, int& fd, const FileStamp& stamp,
                    const RegionEdit& edit, ReplacedRegion& replaced);

}  // namespace velmora
