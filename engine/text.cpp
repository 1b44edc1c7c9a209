#include "engine/text.h"

#include <cstring>

namespace velmora {
namespace {

inline unsigned char ByteAt(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Byte `b` with letter case folded, `previous` being the byte before it: A-Z
// to a-z, and the second byte of À-Þ (C3 80..9E, × excepted) to that of à-þ.
// Every folded pair has the same byte length, so a search keeps its offsets.
inline char FoldLatinByte(char b, char previous) {
  const auto c = static_cast<unsigned char>(b);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0x80 && c <= 0x9E && c != 0x97 && static_cast<unsigned char>(previous) == 0xC3) {
    return static_cast<char>(c + 0x20);
  }
  return b;
}

// True when a match of `length` bytes at the boundary `offset` also ends on a
// character boundary of `text`.
bool EndsOnBoundary(std::string_view text, std::size_t offset, std::size_t length) {
  const std::size_t end = offset + length;
  std::size_t i = offset;
  while (i < end) i += ByteAt(text, i) < 0x80 ? 1 : CharByteLength(text, i);
  return i == end;
}

}  // namespace

std::size_t CharByteLength(std::string_view text, std::size_t offset) {
  const std::size_t size = text.size();
  if (offset >= size) return 0;
  const unsigned char b = ByteAt(text, offset);
  if (b < 0x80) return 1;
  std::size_t need;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    need = 1;
  } else if (b >= 0xE0 && b <= 0xEF) {
    need = 2;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    need = 3;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 1;
  }
  if (offset + need >= size) return 1;
  const unsigned char second = ByteAt(text, offset + 1);
  if (second < low || second > high) return 1;
  for (std::size_t k = 2; k <= need; ++k) {
    if (!IsContinuation(ByteAt(text, offset + k))) return 1;
  }
  return need + 1;
}

std::size_t CharLength(std::string_view text) {
  std::size_t count = 0;
  std::size_t i = 0;
  const std::size_t size = text.size();
  while (i < size) {
    i += ByteAt(text, i) < 0x80 ? 1 : CharByteLength(text, i);
    ++count;
  }
  return count;
}

std::size_t ByteOffsetOfChar(std::string_view text, std::size_t position) {
  if (position <= 1) return 0;
  std::size_t i = 0;
  const std::size_t size = text.size();
  for (std::size_t n = 1; n < position && i < size; ++n) {
    i += ByteAt(text, i) < 0x80 ? 1 : CharByteLength(text, i);
  }
  return i;
}

std::string_view LeftChars(std::string_view text, std::size_t count) {
  return text.substr(0, ByteOffsetOfChar(text, count + 1));
}

std::string_view RightChars(std::string_view text, std::size_t count) {
  const std::size_t length = CharLength(text);
  if (count >= length) return text;
  return text.substr(ByteOffsetOfChar(text, length - count + 1));
}

std::string_view MidChars(std::string_view text, std::size_t position) {
  return text.substr(ByteOffsetOfChar(text, position));
}

std::string_view MidChars(std::string_view text, std::size_t position, std::size_t count) {
  return LeftChars(MidChars(text, position), count);
}

TextHit FindTextHit(std::string_view text, std::string_view needle) {
  if (needle.empty()) return {1, 0};
  std::size_t boundary = 0;  // byte offset of character number `chars` + 1
  std::size_t chars = 0;
  std::size_t from = 0;
  while (true) {
    const std::size_t hit = text.find(needle, from);
    if (hit == std::string_view::npos) return {};
    while (boundary < hit) {
      boundary += ByteAt(text, boundary) < 0x80 ? 1 : CharByteLength(text, boundary);
      ++chars;
    }
    if (boundary == hit && EndsOnBoundary(text, hit, needle.size())) {
      return {chars + 1, hit};
    }
    from = hit + 1;
  }
}

TextHit FindTextNoCaseHit(std::string_view text, std::string_view needle) {
  if (needle.empty()) return {1, 0};
  const std::size_t size = text.size();
  const std::size_t length = needle.size();
  if (length > size) return {};
  const char first = FoldLatinByte(needle[0], 0);
  std::size_t chars = 0;
  for (std::size_t i = 0; i + length <= size; i += CharByteLength(text, i), ++chars) {
    // A boundary byte never folds through its predecessor: C3 followed by a
    // continuation is always one character.
    if (FoldLatinByte(text[i], 0) != first) continue;
    std::size_t k = 1;
    while (k < length &&
           FoldLatinByte(text[i + k], text[i + k - 1]) == FoldLatinByte(needle[k], needle[k - 1])) {
      ++k;
    }
    if (k == length && EndsOnBoundary(text, i, length)) return {chars + 1, i};
  }
  return {};
}

std::size_t FindText(std::string_view text, std::string_view needle) {
  return FindTextHit(text, needle).position;
}

std::size_t FindTextNoCase(std::string_view text, std::string_view needle) {
  return FindTextNoCaseHit(text, needle).position;
}

std::size_t AppendReplaced(std::string& out, std::string_view text, std::string_view from,
                           std::string_view to) {
  if (from.empty()) {
    out.append(text);
    return 0;
  }
  std::size_t count = 0;
  while (true) {
    const TextHit hit = FindTextHit(text, from);
    if (!hit) break;
    out.append(text.substr(0, hit.offset)).append(to);
    text.remove_prefix(hit.offset + from.size());
    ++count;
  }
  out.append(text);
  return count;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  AppendReplaced(result, text, from, to);
  return result;
}

}  // namespace velmora
