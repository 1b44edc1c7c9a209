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

void AppendTwoBytes(std::string& out, char32_t c) {
  out += static_cast<char>(0xC0 | (c >> 6));
  out += static_cast<char>(0x80 | (c & 0x3F));
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

// The run of ASCII bytes at text[i], lowered, onto key in one go: names
// are mostly plain, and a byte-by-byte append costs more than the folding.
// Eight bytes at a time while they are all ASCII.
std::size_t AppendLoweredAscii(std::string_view text, std::size_t i, std::string& key) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const std::size_t at = key.size();
  key.resize(at + (text.size() - i));  // a key is never longer than its text
  char* const out = key.data() + at;
  std::size_t n = 0;
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
  for (; i < text.size() && static_cast<std::uint8_t>(text[i]) < 0x80; ++i, ++n) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    out[n] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
  }
  key.resize(at + n);
  return i;
}

}  // namespace

void SortKeyInto(std::string_view text, std::string& key) {
  key.clear();
  key.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<std::uint8_t>(text[i]) < 0x80) {
      i = AppendLoweredAscii(text, i, key);
      continue;
    }
    if (text.substr(i, 3) == "\xE1\xBA\x9E") {  // capital sharp s
      key += "ss";
      i += 3;
      continue;
    }
    char32_t c = 0;
    if (!DecodeTwoBytes(text, i, c)) {
      key += text[i];
      ++i;
      continue;
    }
    i += 2;
    if (c >= 0x300 && c <= 0x36F) continue;  // combining accent
    if (const char* base = LatinBase(c)) {
      key += base;
      continue;
    }
    AppendTwoBytes(key, FoldCodePoint(c));
  }
}

bool NameLess(std::string_view a, std::string_view b) {
  std::string ka = SortKey(a);
  std::string kb = SortKey(b);
  if (ka != kb) return ka < kb;
  return a < b;
}

namespace {

// One name of a sort: its key in the block of keys, by place and length.
struct Keyed {
  std::uint64_t head;  // eight bytes of the key after what all keys share
  std::uint32_t start;
  std::uint32_t length;
  std::size_t index;
};

// Every key of names in keys, one block, and a record per name. The heads
// start after what all keys share ("file" of "file00001.txt"), so that most
// comparisons end there. Zero padding sorts a shorter key first, as the
// whole comparison does.
std::vector<Keyed> KeyNames(const std::vector<std::string>& names, std::string& keys) {
  std::size_t room = 0;
  for (const std::string& name : names) room += name.size();
  keys.reserve(room + room / 8);
  std::vector<Keyed> order;
  order.reserve(names.size());
  std::string key;
  std::size_t common = 0;  // bytes every key begins with
  for (std::size_t i = 0; i < names.size(); ++i) {
    SortKeyInto(names[i], key);
    if (i == 0) {
      common = key.size();
    } else {
      const std::size_t limit = std::min(common, key.size());
      std::size_t same = 0;
      while (same < limit && key[same] == keys[same]) ++same;
      common = same;
    }
    order.push_back(
        {0, static_cast<std::uint32_t>(keys.size()), static_cast<std::uint32_t>(key.size()), i});
    keys += key;
  }
  for (Keyed& k : order) {
    const std::string_view rest =
        std::string_view(keys).substr(k.start + common, k.length - common);
    std::uint64_t head = 0;
    for (std::size_t b = 0; b < 8; ++b) {
      head = head << 8 | (b < rest.size() ? static_cast<std::uint8_t>(rest[b]) : 0u);
    }
    k.head = head;
  }
  return order;
}

// Each name moved once to its place in order, cycle by cycle, without a
// second list.
void PlaceNames(std::vector<std::string>& names, std::vector<Keyed>& order) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i].index == i) continue;
    std::string held = std::move(names[i]);
    std::size_t at = i;
    while (order[at].index != i) {
      const std::size_t from = order[at].index;
      names[at] = std::move(names[from]);
      order[at].index = at;
      at = from;
    }
    names[at] = std::move(held);
    order[at].index = at;
  }
}

}  // namespace

void SortNames(std::vector<std::string>& names) {
  if (names.size() < 2) return;
  // Every key in one block: a folder of tens of thousands of names costs a
  // few allocations, and the sort moves small records.
  std::string keys;
  std::vector<Keyed> order = KeyNames(names, keys);
  const auto keyOf = [&keys](const Keyed& k) {
    return std::string_view(keys).substr(k.start, k.length);
  };
  std::sort(order.begin(), order.end(), [&](const Keyed& a, const Keyed& b) {
    if (a.head != b.head) return a.head < b.head;
    const int byKey = keyOf(a).compare(keyOf(b));
    return byKey != 0 ? byKey < 0 : names[a.index] < names[b.index];
  });
  PlaceNames(names, order);
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
