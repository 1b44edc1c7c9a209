// Letter case of UTF-8 names through ICU, one code point at a time. ASCII,
// nearly every name's bulk, never reaches ICU (nor loads it).
#include <unicode/utf8.h>

#include "engine/text.h"
#include "engine/unicode_library.h"

namespace velmora {
namespace {

// The code point of the well-formed sequence of `length` bytes at `s`.
UChar32 Decode(const unsigned char* s, std::size_t length) {
  switch (length) {
    case 2:
      return ((s[0] & 0x1F) << 6) | (s[1] & 0x3F);
    case 3:
      return ((s[0] & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    default:
      return ((s[0] & 0x07) << 18) | ((s[1] & 0x3F) << 12) | ((s[2] & 0x3F) << 6) | (s[3] & 0x3F);
  }
}

void Encode(UChar32 c, std::string& out) {
  char bytes[U8_MAX_LENGTH];
  std::size_t length = 0;
  U8_APPEND_UNSAFE(bytes, length, c);
  out.append(bytes, length);
}

// Appends text with map applied to each code point for which pick(code point,
// index of the character) holds; the rest, and every byte outside a
// well-formed sequence, is copied.
template <typename Pick, typename Map>
void AppendMapped(std::string_view text, std::string& out, Pick pick, Map map) {
  out.reserve(out.size() + text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t index = 0;
  for (std::size_t i = 0; i < size; ++index) {
    const unsigned char b = bytes[i];
    if (b < 0x80) {
      out.push_back(static_cast<char>(pick(b, index) ? map(b) : b));
      ++i;
      continue;
    }
    const std::size_t length = CharByteLength(text, i);
    const UChar32 c = length == 1 ? -1 : Decode(bytes + i, length);
    const UChar32 mapped = c < 0 || !pick(c, index) ? c : map(c);
    if (mapped == c) {
      out.append(text.substr(i, length));
    } else {
      Encode(mapped, out);
    }
    i += length;
  }
}

constexpr auto kEvery = [](UChar32, std::size_t) { return true; };

// Appends text with map applied to every character. ASCII is changed in
// place, as most names are nothing else; from the first other byte on the
// rest goes through AppendMapped.
template <typename Map>
void AppendEveryMapped(std::string_view text, std::string& out, Map map) {
  const std::size_t start = out.size();
  out.append(text);
  char* bytes = out.data() + start;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      out.resize(start + i);
      AppendMapped(text.substr(i), out, kEvery, map);
      return;
    }
    bytes[i] = static_cast<char>(map(c));
  }
}

}  // namespace

std::string FoldLetterCase(std::string_view text) {
  std::string folded;
  AppendEveryMapped(text, folded, [](UChar32 c) { return FoldedCaseOf(c); });
  return folded;
}

void AppendUpperCase(std::string_view text, std::string& out) {
  AppendEveryMapped(text, out, [](UChar32 c) { return UpperCaseOf(c); });
}

void AppendLowerCase(std::string_view text, std::string& out) {
  AppendEveryMapped(text, out, [](UChar32 c) { return LowerCaseOf(c); });
}

void AppendWordCapitals(std::string_view text, std::string& out) {
  // The index of the character after the last blank that was not the first
  // character; 0 for the first character itself.
  std::size_t wordStart = 0;
  AppendMapped(
      text, out,
      [&](UChar32 c, std::size_t index) {
        if (c == ' ' && index > 0) wordStart = index + 1;
        return index == wordStart && IsSmallLetter(c);
      },
      [](UChar32 c) { return UpperCaseOf(c); });
}

}  // namespace velmora
