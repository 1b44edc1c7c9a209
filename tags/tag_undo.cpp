#include "tags/tag_undo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "engine/error_numbers.h"
#include "tags/file_io.h"
#include "tags/region_replace.h"

namespace velmora {
namespace {

constexpr long long kTailLength = 128;
constexpr long long kHeaderLength = 10;
constexpr char kBlockHeader[] = "velmora tag bytes 1\n";

int OpenRegular(const std::string& path, int flags, Error& error) {
  const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ELOOP ? Error{kPathFileAccess, "symbolic link, not followed"}
                           : TagErrorFromErrno(errno);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = Error{kPathFileAccess, "not a regular file"};
    ::close(fd);
    return -1;
  }
  return fd;
}

// The length of the ID3v2 tag at the start as its header gives it (footer
// included), as the tag library replaces it; 0 without one.
Error RegionLength(int fd, long long size, long long& length) {
  length = 0;
  unsigned char head[kHeaderLength];
  if (size < kHeaderLength) return {};
  if (Error error = ReadExactly(fd, reinterpret_cast<char*>(head), sizeof head, 0)) return error;
  if (head[0] != 'I' || head[1] != 'D' || head[2] != '3' || head[3] == 0xFF || head[4] == 0xFF) {
    return {};
  }
  long long body = 0;
  for (int i = 6; i < 10; ++i) {
    if (head[i] & 0x80) return {};
    body = (body << 7) | head[i];
  }
  length = std::min(size, kHeaderLength + body + ((head[5] & 0x10) != 0 ? kHeaderLength : 0));
  return {};
}

Error ReadAt(int fd, long long offset, long long length, std::string& out) {
  out.assign(static_cast<std::size_t>(length), '\0');
  return ReadExactly(fd, out.data(), out.size(), static_cast<off_t>(offset));
}

}  // namespace

Error CaptureTagBytes(const std::string& path, TagUndoBytes& bytes) {
  Error error;
  const int fd = OpenRegular(path, O_RDONLY, error);
  if (fd < 0) return error;
  struct stat info {};
  long long region = 0;
  if (::fstat(fd, &info) != 0) error = TagErrorFromErrno(errno);
  if (!error) {
    bytes.size = info.st_size;
    const long long tail = std::min(bytes.size, kTailLength);
    error = ReadAt(fd, bytes.size - tail, tail, bytes.tail);
  }
  if (!error) error = RegionLength(fd, bytes.size, region);
  if (!error) error = ReadAt(fd, 0, region, bytes.region);
  ::close(fd);
  return error;
}

std::string PackTagBytes(const TagUndoBytes& bytes) {
  return kBlockHeader + std::to_string(bytes.size) + ' ' + std::to_string(bytes.tail.size()) + ' ' +
         std::to_string(bytes.region.size()) + '\n' + bytes.tail + bytes.region;
}

bool UnpackTagBytes(std::string_view block, TagUndoBytes& bytes) {
  const std::string_view header = kBlockHeader;
  if (block.substr(0, header.size()) != header) return false;
  block.remove_prefix(header.size());
  const std::size_t end = block.find('\n');
  if (end == std::string_view::npos || end > 64) return false;
  const std::string numbers(block.substr(0, end));
  long long size = 0, tail = 0, region = 0;
  int used = 0;
  if (std::sscanf(numbers.c_str(), "%lld %lld %lld%n", &size, &tail, &region, &used) != 3 ||
      used != static_cast<int>(numbers.size()) || size < 0 || tail < 0 || region < 0 ||
      tail > kTailLength || tail > size || region > size) {
    return false;
  }
  block.remove_prefix(end + 1);
  if (block.size() != static_cast<std::size_t>(tail + region)) return false;
  bytes.size = size;
  bytes.tail = block.substr(0, static_cast<std::size_t>(tail));
  bytes.region = block.substr(static_cast<std::size_t>(tail));
  return true;
}

Error RestoreTagBytes(const std::string& path, const TagUndoBytes& bytes, std::int64_t mtimeNs) {
  Error error;
  int fd = OpenRegular(path, O_RDWR, error);
  if (fd < 0) return error;
  FileStamp stamp;
  long long region = 0;
  std::string current;
  error = StampOf(fd, stamp);
  if (!error) error = RegionLength(fd, stamp.size, region);
  if (!error) error = ReadAt(fd, 0, region, current);
  if (!error && current != bytes.region) {
    ReplacedRegion replaced;
    error = ReplaceRegion(path, fd, stamp, RegionEdit{0, region, bytes.region}, replaced);
  }
  // The length first: a record the write appended goes, and the old tail
  // lands where it was.
  if (!error && ::ftruncate(fd, static_cast<off_t>(bytes.size)) != 0) {
    error = TagErrorFromErrno(errno);
  }
  if (!error) {
    error =
        WriteExactly(fd, bytes.tail.data(), bytes.tail.size(),
                     static_cast<off_t>(bytes.size - static_cast<long long>(bytes.tail.size())));
  }
  const timespec times[2] = {
      {0, UTIME_OMIT},
      {static_cast<time_t>(mtimeNs / 1000000000), static_cast<long>(mtimeNs % 1000000000)}};
  if (!error && ::futimens(fd, times) != 0) error = TagErrorFromErrno(errno);
  if (::close(fd) != 0 && !error) error = TagErrorFromErrno(errno);
  return error;
}

}  // namespace velmora
