#include "tags/tag_undo.h"

#include <algorithm>
#include <cstdio>

#include "engine/error_numbers.h"
#include "tags/region_replace.h"

namespace velmora {
namespace {

constexpr long long kTailLength = 128;
constexpr long long kHeaderLength = 10;
constexpr char kBlockHeader[] = "velmora tag bytes 1\n";

// The length of the ID3v2 tag at the start as its header gives it (footer
// included), as the tag library replaces it; 0 without one.
Error RegionLength(OpenFile& file, long long size, long long& length) {
  length = 0;
  unsigned char head[kHeaderLength];
  if (size < kHeaderLength) return {};
  if (Error error = file.ReadAt(0, reinterpret_cast<char*>(head), sizeof head)) return error;
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

Error ReadAt(OpenFile& file, long long offset, long long length, std::string& out) {
  out.assign(static_cast<std::size_t>(length), '\0');
  return file.ReadAt(offset, out.data(), out.size());
}

}  // namespace

Error CaptureTagBytes(FileSystem& disk, const std::string& path, TagUndoBytes& bytes) {
  Error error;
  const std::unique_ptr<OpenFile> file = disk.Open(path, OpenMode::kReadNoFollow, error);
  if (!file) return error;
  FileStamp stamp;
  long long region = 0;
  error = file->Stamp(stamp);
  if (!error) {
    bytes.size = stamp.identity.size;
    const long long tail = std::min(bytes.size, kTailLength);
    error = ReadAt(*file, bytes.size - tail, tail, bytes.tail);
  }
  if (!error) error = RegionLength(*file, bytes.size, region);
  if (!error) error = ReadAt(*file, 0, region, bytes.region);
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

Error RestoreTagBytes(FileSystem& disk, const std::string& path, const TagUndoBytes& bytes,
                      std::int64_t mtimeNs) {
  Error error;
  std::unique_ptr<OpenFile> file = disk.Open(path, OpenMode::kReadWrite, error);
  if (!file) return error;
  FileStamp stamp;
  long long region = 0;
  std::string current;
  error = file->Stamp(stamp);
  if (!error) error = RegionLength(*file, stamp.identity.size, region);
  if (!error) error = ReadAt(*file, 0, region, current);
  if (!error && current != bytes.region) {
    ReplacedRegion replaced;
    error = ReplaceRegion(disk, path, file, stamp, RegionEdit{0, region, bytes.region}, replaced);
  }
  // The length first: a record the write appended goes, and the old tail
  // lands where it was.
  if (!error) error = file->Truncate(bytes.size);
  if (!error) {
    const long long tail = static_cast<long long>(bytes.tail.size());
    error = file->WriteAt(bytes.size - tail, bytes.tail.data(), bytes.tail.size());
  }
  if (!error) error = file->SetModified(mtimeNs);
  if (const Error closed = file->Close(); closed && !error) error = closed;
  return error;
}

}  // namespace velmora
