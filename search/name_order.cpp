#include "search/name_order.h"

#include <cstdint>

namespace velmora {
namespace {

// The lower-case partner of an upper-case letter from the alphabets a German
// desktop meets in file names; any other code point is returned unchanged.
char32_t FoldCodePoint(char32_t c) {
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;     // À..Þ, not ×
  if (c >= 0x100 && c <= 0x137 && c % 2 == 0) return c + 1;     // Ā..ķ
  if (c >= 0x139 && c <= 0x148 && c % 2 == 1) return c + 1;     // Ĺ..ň
  if (c >= 0x14A && c <= 0x177 && c % 2 == 0) return c + 1;     // Ŋ..ŷ
  if (c == 0x178) return 0xFF;                                  // Ÿ
  if (c >= 0x179 && c <= 0x17E && c % 2 == 1) return c + 1;     // Ź..ž
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Ѐ..Џ
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // А..Я
  return c;
}

// Decodes a two-byte sequence at i (the only length these letters use);
// false for anything else, which is then copied byte by byte.
bool DecodeTwoBytes(std::string_view text, std::size_t i, char32_t& c) {
  if (i + 1 >= text.size()) return false;
  auto b0 = static_cast<std::uint8_t>(text[i]);
  auto b1 = static_cast<std::uint8_t>(text[i + 1]);
  if (b0 < 0xC2 || b0 > 0xDF || (b1 & 0xC0) != 0x80) return false;
  c = (static_cast<char32_t>(b0 & 0x1F) << 6) | (b1 & 0x3F);
  return true;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    auto b = static_cast<std::uint8_t>(out[i]);
    if (b < 0x80) {
      if (b >= 'A' && b <= 'Z') out[i] = static_cast<char>(b + 32);
      ++i;
      continue;
    }
    char32_t c = 0;
    if (!DecodeTwoBytes(out, i, c)) {
      ++i;
      continue;
    }
    // Every folded partner stays in the two-byte range, so the text keeps
    // its length and can be changed in place.
    char32_t f = FoldCodePoint(c);
    out[i] = static_cast<char>(0xC0 | (f >> 6));
    out[i + 1] = static_cast<char>(0x80 | (f & 0x3F));
    i += 2;
  }
  return out;
}

bool NameLess(std::string_view a, std::string_view b) {
  std::string fa = FoldCase(a);
  std::string fb = FoldCase(b);
  if (fa != fb) return fa < fb;
  return a < b;
}

}  // namespace velmora
