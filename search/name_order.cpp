#include "search/name_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

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

// The base letter of each code point from U+00C0 to U+017F, lower case; '_'
// keeps the character (the signs × and ÷), '*' marks the letters that stand
// for two (LatinBase spells them out).
constexpr std::string_view kLatinBases =
    "aaaaaa*ceeeeiiii"
    "dnooooo_ouuuuy**"
    "aaaaaa*ceeeeiiii"
    "dnooooo_ouuuuy*y"  // Latin-1
    "aaaaaaccccccccdd"
    "ddeeeeeeeeeegggg"
    "gggghhhhiiiiiiii"
    "ii**jjkkklllllll"  // Extended-A
    "lllnnnnnnnnnoooo"
    "oo**rrrrrrssssss"
    "ssttttttuuuuuuuu"
    "uuuuwwyyyzzzzzzs";

// The base letters of c for the sort key, or nullptr when c has none.
const char* LatinBase(char32_t c) {
  if (c < 0xC0 || c > 0x17F) return nullptr;
  static const std::array<std::string, 192> bases = [] {
    std::array<std::string, 192> out;
    for (std::size_t k = 0; k < out.size(); ++k) {
      const char base = kLatinBases[k];
      if (base != '*' && base != '_') out[k] = std::string(1, base);
    }
    out[0xC6 - 0xC0] = out[0xE6 - 0xC0] = "ae";
    out[0xDE - 0xC0] = out[0xFE - 0xC0] = "th";
    out[0xDF - 0xC0] = "ss";
    out[0x132 - 0xC0] = out[0x133 - 0xC0] = "ij";
    out[0x152 - 0xC0] = out[0x153 - 0xC0] = "oe";
    return out;
  }();
  const std::string& base = bases[c - 0xC0];
  return base.empty() ? nullptr : base.c_str();
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

std::string SortKey(std::string_view text) {
  std::string key;
  SortKeyInto(text, key);
  return key;
}

namespace {

// The run of ASCII bytes at text[i], lowered, to out[n] on: names are mostly
// plain, and a byte-by-byte append costs more than the folding. Eight bytes
// at a time while they are all ASCII. Returns where the run ends.
std::size_t LowerAscii(std::string_view text, std::size_t i, char* out, std::size_t& n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  for (; i + 8 <= text.size(); i += 8, n += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + i, 8);
    if ((word & kHigh) != 0) break;
    // Bytes below 0x80 take these sums without a carry into the next byte.
    const std::uint64_t fromA = (word + (0x80 - 'A') * kOnes) & kHigh;
    const std::uint64_t pastZ = (word + (0x80 - 'Z' - 1) * kOnes) & kHigh;
    word |= (fromA & ~pastZ) >> 2;  // 0x80 >> 2 is the case bit
    std::memcpy(out + n, &word, 8);
  }
  // The last bytes as one word, overlapping those done: lowering them twice
  // changes nothing. A word of ASCII bytes lies wholly in this run, as the
  // byte before a run is never ASCII, so it maps onto out byte for byte.
  if (i < text.size() && text.size() >= 8 && i + 8 > text.size()) {
    const std::size_t back = i + 8 - text.size();
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + text.size() - 8, 8);
    if ((word & kHigh) == 0) {
      const std::uint64_t fromA = (word + (0x80 - 'A') * kOnes) & kHigh;
      const std::uint64_t pastZ = (word + (0x80 - 'Z' - 1) * kOnes) & kHigh;
      word |= (fromA & ~pastZ) >> 2;
      std::memcpy(out + n - back, &word, 8);
      n += text.size() - i;
      return text.size();
    }
  }
  for (; i < text.size() && static_cast<std::uint8_t>(text[i]) < 0x80; ++i, ++n) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    out[n] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
  }
  return i;
}

}  // namespace

// Every step writes at most the bytes it reads, so out never runs ahead of
// text.
std::size_t WriteSortKey(std::string_view text, char* const out) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<std::uint8_t>(text[i]) < 0x80) {
      i = LowerAscii(text, i, out, n);
      continue;
    }
    if (text.substr(i, 3) == "\xE1\xBA\x9E") {  // capital sharp s
      out[n++] = 's';
      out[n++] = 's';
      i += 3;
      continue;
    }
    char32_t c = 0;
    if (!DecodeTwoBytes(text, i, c)) {
      out[n++] = text[i];
      ++i;
      continue;
    }
    i += 2;
    if (c >= 0x300 && c <= 0x36F) continue;  // combining accent
    if (const char* base = LatinBase(c)) {
      while (*base != '\0') out[n++] = *base++;
      continue;
    }
    const char32_t f = FoldCodePoint(c);
    out[n++] = static_cast<char>(0xC0 | (f >> 6));
    out[n++] = static_cast<char>(0x80 | (f & 0x3F));
  }
  return n;
}

void SortKeyInto(std::string_view text, std::string& key) {
  key.resize(text.size());
  key.resize(WriteSortKey(text, key.data()));
}

bool NameLess(std::string_view a, std::string_view b) {
  std::string ka = SortKey(a);
  std::string kb = SortKey(b);
  if (ka != kb) return ka < kb;
  return a < b;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Compares the digit runs starting at i and j by value and moves both past
// their run.
int CompareDigitRuns(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const std::size_t startA = i;
  const std::size_t startB = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  const std::size_t lengthA = i - startA;
  const std::size_t lengthB = j - startB;
  if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
  return a.substr(startA, lengthA).compare(b.substr(startB, lengthB));
}

}  // namespace

int NaturalCompare(std::string_view keyA, std::string_view keyB) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < keyA.size() && j < keyB.size()) {
    if (IsDigit(keyA[i]) && IsDigit(keyB[j])) {
      const int runs = CompareDigitRuns(keyA, i, keyB, j);
      if (runs != 0) return runs;
      continue;
    }
    if (keyA[i] != keyB[j]) {
      return static_cast<unsigned char>(keyA[i]) < static_cast<unsigned char>(keyB[j]) ? -1 : 1;
    }
    ++i;
    ++j;
  }
  if (i < keyA.size()) return 1;
  return j < keyB.size() ? -1 : 0;
}

const char* OrderName(OrderBy by) {
  switch (by) {
    case OrderBy::kNatural:
      return "natural";
    case OrderBy::kModified:
      return "modified";
    case OrderBy::kSize:
      return "size";
    case OrderBy::kName:
      break;
  }
  return "name";
}

bool ParseOrderName(std::string_view name, OrderBy& by) {
  for (OrderBy candidate :
       {OrderBy::kName, OrderBy::kNatural, OrderBy::kModified, OrderBy::kSize}) {
    if (name == OrderName(candidate)) {
      by = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace velmora
