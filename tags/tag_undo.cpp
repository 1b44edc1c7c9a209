#include "tags/tag_undo.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

constexpr std::string_view kBlockHeader = "velmora tag edits 1\n";
// An Ogg write renumbers every page after the comment: one edit each.
constexpr std::size_t kMaxEdits = 1 << 22;

Error ChangedError() {
  return {kPathFileAccess, "the file changed since its tag was written: not taken back"};
}

// The next line of block without its line feed; false when there is none
// or it is longer than any line of ours.
bool TakeLine(std::string_view& block, std::string& line) {
  const std::size_t end = block.find('\n');
  if (end == std::string_view::npos || end > 100) return false;
  line.assign(block.substr(0, end));
  block.remove_prefix(end + 1);
  return true;
}

bool ParseEdit(const std::string& line, TagEdit& edit, long long& oldLength) {
  long long offset = 0, newLength = 0;
  int used = 0;
  if (std::sscanf(line.c_str(), "%lld %lld %lld%n", &offset, &oldLength, &newLength, &used) != 3 ||
      used != static_cast<int>(line.size()) || offset < 0 || oldLength < 0 || newLength < 0) {
    return false;
  }
  edit.offset = offset;
  edit.newLength = newLength;
  return true;
}

bool Read(OpenFile& file, long long size, long long offset, std::string& bytes) {
  if (offset < 0 || offset + static_cast<long long>(bytes.size()) > size) return false;
  return !file.ReadAt(offset, bytes.data(), bytes.size());
}

// Whether the file holds what the write left (its new bytes go into edits).
bool AsWritten(OpenFile& file, long long size, TagEdits& edits) {
  if (size != edits.newSize) return false;
  for (TagEdit& edit : edits.edits) {
    edit.newBytes.assign(static_cast<std::size_t>(edit.newLength), '\0');
    if (!Read(file, size, edit.offset, edit.newBytes)) return false;
  }
  return ChecksumOfWrite(edits) == edits.checksum;
}

// Whether the file holds the old length and the old bytes of every edit.
bool AsBefore(OpenFile& file, const TagEdits& edits) {
  FileStamp stamp;
  if (file.Stamp(stamp) || stamp.identity.size != edits.oldSize) return false;
  std::string bytes;
  for (const Splice& splice : WriteSplices(edits)) {
    bytes.assign(static_cast<std::size_t>(splice.length), '\0');
    if (!Read(file, edits.oldSize, splice.start, bytes) || bytes != splice.old) return false;
  }
  return true;
}

}  // namespace

std::string PackTagEdits(const TagEdits& edits) {
  std::string block;
  PackTagEditsInto(edits, block);
  return block;
}

// The hundred two-digit pairs, "00" to "99".
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes value in decimal, then after, at out; returns the end. Two digits
// a step into a scratch of fixed size, then one copy of fixed size: the
// block keeps room for the bytes past the number.
char* PutNumber(char* out, long long value, char after) {
  if (value < 0) *out++ = '-';
  // The magnitude, also of the lowest number.
  auto rest = value < 0 ? 0 - static_cast<unsigned long long>(value)
                        : static_cast<unsigned long long>(value);
  char digits[48] = {};  // 20 digits, after, and the copy's tail
  char* p = digits + 20;
  while (rest >= 100) {
    const auto pair = static_cast<std::size_t>(rest % 100);
    rest /= 100;
    p -= 2;
    std::memcpy(p, &kDigitPairs[2 * pair], 2);
  }
  if (rest >= 10) {
    p -= 2;
    std::memcpy(p, &kDigitPairs[2 * rest], 2);
  } else {
    *--p = static_cast<char>('0' + rest);
  }
  const auto length = static_cast<std::size_t>(digits + 20 - p);
  digits[20] = after;
  std::memcpy(out, p, 21);
  return out + length + 1;
}

void PackTagEditsInto(const TagEdits& edits, std::string& block) {
  // Written straight into block, sized for the longest numbers and each
  // number's copy of fixed size first: a reused block then takes no
  // allocation, one payload per file of a run.
  std::size_t oldBytes = 0;
  for (const TagEdit& edit : edits.edits) oldBytes += edit.oldBytes.size();
  constexpr std::size_t kHead = 160;  // five numbers of at most 20 digits, and room
  constexpr std::size_t kLine = 64;   // three numbers of at most 20 digits
  block.resize(kBlockHeader.size() + kHead + kLine * edits.edits.size() + oldBytes);
  char* out = block.data();
  std::memcpy(out, kBlockHeader.data(), kBlockHeader.size());
  out += kBlockHeader.size();
  out = PutNumber(out, edits.oldSize, ' ');
  out = PutNumber(out, static_cast<long long>(edits.oldModified), ' ');
  out = PutNumber(out, edits.newSize, ' ');
  for (int shift = 56; shift >= 0; shift -= 8) {
    const auto byte = static_cast<std::size_t>((edits.checksum >> shift) & 0xFF);
    *out++ = "0123456789abcdef"[byte >> 4];
    *out++ = "0123456789abcdef"[byte & 0xF];
  }
  *out++ = ' ';
  out = PutNumber(out, static_cast<long long>(edits.edits.size()), '\n');
  for (const TagEdit& edit : edits.edits) {
    out = PutNumber(out, edit.offset, ' ');
    out = PutNumber(out, static_cast<long long>(edit.oldBytes.size()), ' ');
    out = PutNumber(out, edit.newLength, '\n');
  }
  for (const TagEdit& edit : edits.edits) {
    out = std::copy_n(edit.oldBytes.data(), edit.oldBytes.size(), out);
  }
  block.resize(static_cast<std::size_t>(out - block.data()));
}

bool UnpackTagEdits(std::string_view block, TagEdits& edits) {
  if (!block.starts_with(kBlockHeader)) return false;
  block.remove_prefix(kBlockHeader.size());
  std::string line;
  long long oldSize = 0, oldModified = 0, newSize = 0;
  std::uint64_t checksum = 0;
  std::size_t count = 0;
  int used = 0;
  if (!TakeLine(block, line) ||
      std::sscanf(line.c_str(), "%lld %lld %lld %16" SCNx64 " %zu%n", &oldSize, &oldModified,
                  &newSize, &checksum, &count, &used) != 5 ||
      used != static_cast<int>(line.size()) || oldSize < 0 || newSize < 0 || count > kMaxEdits ||
      count > block.size() / 6) {  // each edit has a line of at least "0 0 0\n"
    return false;
  }
  TagEdits read{oldSize, oldModified, newSize, checksum, std::vector<TagEdit>(count)};
  std::vector<long long> oldLengths(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!TakeLine(block, line) || !ParseEdit(line, read.edits[i], oldLengths[i])) return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (block.size() < static_cast<std::size_t>(oldLengths[i])) return false;
    read.edits[i].oldBytes = block.substr(0, static_cast<std::size_t>(oldLengths[i]));
    block.remove_prefix(static_cast<std::size_t>(oldLengths[i]));
  }
  if (!block.empty()) return false;
  edits = std::move(read);
  return true;
}

Error UndoTagWrite(FileSystem& disk, const std::string& path, std::string_view payload) {
  TagEdits edits;
  if (payload.starts_with("velmora tag bytes 1\n")) {
    // Those bytes say where the old tag was only through the file's header.
    return {kInvalidFileFormat, "tag write recorded by an older version: not taken back"};
  }
  if (!UnpackTagEdits(payload, edits)) {
    return {kInvalidFileFormat, "the journal's record of the tag write is damaged"};
  }
  Error error;
  std::unique_ptr<OpenFile> file = disk.Open(path, OpenMode::kReadWrite, error);
  if (!file) return error;
  FileStamp stamp;
  if ((error = file->Stamp(stamp))) return error;
  if (AsWritten(*file, stamp.identity.size, edits)) {
    error = ApplySplices(disk, path, file, stamp, UndoSplices(edits));
    if (!error && !AsBefore(*file, edits)) {
      error = {kPathFileAccess, "the file is not as before its tag was written"};
    }
  } else if (!AsBefore(*file, edits)) {
    error = ChangedError();  // neither what the write left nor what it found
  }
  if (!error) error = file->SetModified(edits.oldModified);
  if (const Error closed = file->Close(); closed && !error) error = closed;
  return error;
}

}  // namespace velmora
