#include "tags/id3v2_layout.h"

#include <algorithm>
#include <string_view>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

constexpr long long kHeader = 10;
constexpr long long kMaxTag = kHeader + (1LL << 28) + kHeader;

Error Damaged() { return Error{kInvalidFileFormat, kDamagedId3v2}; }

unsigned Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

// Seven bits per byte; -1 when a byte has the high bit set.
long long SyncSafe(std::string_view bytes, std::size_t at, int count) {
  long long n = 0;
  for (int i = 0; i < count; ++i) {
    if (Byte(bytes, at + i) & 0x80) return -1;
    n = (n << 7) | Byte(bytes, at + i);
  }
  return n;
}

long long BigEndian(std::string_view bytes, std::size_t at, int count) {
  long long n = 0;
  for (int i = 0; i < count; ++i) n = (n << 8) | Byte(bytes, at + i);
  return n;
}

bool FrameIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// The frames from pos to end, then nothing but zero padding. v4 sizes are
// seven bits per byte unless plain says otherwise (as some writers do).
bool FramesHold(std::string_view tag, long long pos, long long end, int major, bool plain) {
  const long long header = major == 2 ? 6 : 10;
  const int idLength = major == 2 ? 3 : 4;
  while (pos + header <= end && tag[pos] != '\0') {
    for (int i = 0; i < idLength; ++i) {
      if (!FrameIdChar(tag[pos + i])) return false;
    }
    const long long size = major == 2   ? BigEndian(tag, pos + 3, 3)
                           : major == 3 ? BigEndian(tag, pos + 4, 4)
                           : plain      ? BigEndian(tag, pos + 4, 4)
                                        : SyncSafe(tag, pos + 4, 4);
    if (size <= 0 || pos + header + size > end) return false;
    pos += header + size;
  }
  for (; pos < end; ++pos) {
    if (tag[pos] != '\0') return false;
  }
  return true;
}

// An unsynchronised tag has no frame sync inside: one there is audio.
bool NoFrameSync(std::string_view tag, long long end) {
  for (long long i = kHeader; i + 1 < end; ++i) {
    if (Byte(tag, i) == 0xFF && Byte(tag, i + 1) >= 0xE0) return false;
  }
  return true;
}

// Where the frames begin: after the extended header, if any.
long long FramesStart(std::string_view tag, int major, unsigned flags, long long end) {
  if ((flags & 0x40) == 0) return kHeader;
  if (end < kHeader + 4) return -1;
  const long long size = major == 3 ? BigEndian(tag, kHeader, 4) + 4 : SyncSafe(tag, kHeader, 4);
  return size < 4 || kHeader + size > end ? -1 : kHeader + size;
}

}  // namespace

Error Id3v2TagEnd(const std::string& bytes, long long& end) {
  const std::string_view tag = bytes;
  end = 0;
  if (tag.size() < 3 || tag.substr(0, 3) != "ID3") return {};
  if (tag.size() < kHeader) return Damaged();
  const int major = static_cast<int>(Byte(tag, 3));
  const unsigned flags = Byte(tag, 5);
  const unsigned known = major == 2 ? 0x80 : major == 3 ? 0xE0 : 0xF0;
  const long long body = SyncSafe(tag, 6, 4);
  if (major < 2 || major > 4 || Byte(tag, 4) == 0xFF || (flags & ~known) != 0 || body < 0) {
    return Damaged();
  }
  const long long bodyEnd = kHeader + body;
  const long long tagEnd = bodyEnd + ((flags & 0x10) != 0 ? kHeader : 0);
  if (tagEnd > static_cast<long long>(tag.size())) return Damaged();
  if ((flags & 0x10) != 0) {
    const std::string_view footer = tag.substr(bodyEnd, kHeader);
    if (footer.substr(0, 3) != "3DI" || footer.substr(3) != tag.substr(3, 7)) return Damaged();
  }
  const long long frames = FramesStart(tag, major, flags, bodyEnd);
  const bool holds =
      frames >= 0 &&
      ((flags & 0x80) != 0 ? NoFrameSync(tag, bodyEnd)
                           : FramesHold(tag, frames, bodyEnd, major, false) ||
                                 (major == 4 && FramesHold(tag, frames, bodyEnd, major, true)));
  if (!holds) return Damaged();
  end = tagEnd;
  return {};
}

Error Id3v2TagEnd(OpenFile& file, long long size, long long& end) {
  end = 0;
  std::string head(static_cast<std::size_t>(std::min(size, kHeader)), '\0');
  if (Error error = file.ReadAt(0, head.data(), head.size())) return error;
  if (head.size() < 3 || head.compare(0, 3, "ID3") != 0) return {};
  if (head.size() < kHeader) return Damaged();
  const long long body = SyncSafe(head, 6, 4);
  if (body < 0) return Damaged();
  const long long length = std::min({size, kHeader + body + kHeader, kMaxTag});
  std::string tag(static_cast<std::size_t>(length), '\0');
  if (Error error = file.ReadAt(0, tag.data(), tag.size())) return error;
  return Id3v2TagEnd(tag, end);
}

}  // namespace velmora
