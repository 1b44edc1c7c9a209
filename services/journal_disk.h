// The journal's own files on disk, reached through a FileSystem (the real
// one opens them with OpenOwnFile's checks): read whole, and the segments
// beside the journal listed. Also the open-file-description locks (the one
// lock family of the journal) and what the file system holding a file
// promises about its inode numbers, which PosixFileSystem uses.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

// The whole regular file of the user at path; missing is set when there is
// none.
Error ReadOwnFile(FileSystem& disk, const std::string& path, std::string& text, bool& missing);

// The lines of the first size bytes of file, without their LF, read in
// small pieces so that a large segment costs no large buffer. The last line
// comes with torn set when it has no LF. On an error, some lines may have
// been handed on already.
Error ForEachLine(OpenFile& file, std::int64_t size,
                  const std::function<void(std::string_view line, bool torn)>& take);

// An open-file-description lock on length bytes from start (0: to the end
// and beyond), exclusive or shared; wait says whether to wait for it. A lock
// held elsewhere without wait is kFileInUse-like: EAGAIN as an Error.
Error LockRange(int fd, off_t start, off_t length, bool exclusive, bool wait);
void UnlockRange(int fd, off_t start, off_t length);
// locked: another open file description holds a lock that would keep an
// exclusive one on the range out. A test that fails is an error.
Error RangeLocked(int fd, off_t start, off_t length, bool& locked);

// The files beside the journal at journalPath whose names go on with infix.
std::vector<std::string> FilesBeside(FileSystem& disk, const std::string& journalPath,
                                     const std::string& infix);

// The sealed segments beside the journal at journalPath, oldest first.
std::vector<std::string> SegmentPaths(FileSystem& disk, const std::string& journalPath);
// The name the current segment takes when sealed after segments.
std::string NextSegmentPath(const std::string& journalPath,
                            const std::vector<std::string>& segments);

// The file system holding folder: its statfs f_fsid, and whether it keeps
// inode numbers (not vfat, exFAT, NTFS, FUSE, overlayfs).
struct FileSystemTraits {
  std::uint64_t fsid = 0;
  bool inodeStable = false;
};
bool FileSystemOf(const std::string& folder, FileSystemTraits& traits);

// The folder part of path as the journal records it: no trailing separator,
// "." for a bare name.
std::string JournalFolderOf(const std::string& path);
// The same as a view into path (or a constant).
std::string_view JournalFolderView(std::string_view path);

}  // namespace velmora
