// ICU's letter case and transforms, kept in velmora-unicode.so beside the
// program and loaded the first time a name has a character outside ASCII:
// a run on ASCII names starts without loading ICU at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// What the library hands over; size and version tell a library of another
// build.
struct UnicodeCalls {
  std::size_t size = sizeof(UnicodeCalls);
  int version = 1;
  std::int32_t (*upper)(std::int32_t c) = nullptr;
  std::int32_t (*lower)(std::int32_t c) = nullptr;
  std::int32_t (*fold)(std::int32_t c) = nullptr;
  bool (*isLower)(std::int32_t c) = nullptr;
  // Appends name (well-formed UTF-8) through ICU's "NFC; [[:L:][:M:]]
  // de-ASCII"; false, with nothing appended, when ICU cannot make it.
  bool (*transliterate)(std::string_view name, std::string& out) = nullptr;
};

// The library's entry: a function returning its UnicodeCalls.
inline constexpr const char* kUnicodeCallsName = "velmora_unicode_calls";

// The library's table, loaded once. When it cannot be loaded the program
// names the file on stderr and exits 127, as for a library missing at start.
const UnicodeCalls* LoadUnicodeLibrary();

// ICU's simple mappings of one code point outside ASCII.
std::int32_t UnicodeUpper(std::int32_t c);
std::int32_t UnicodeLower(std::int32_t c);
std::int32_t UnicodeFold(std::int32_t c);
bool UnicodeIsLower(std::int32_t c);

// The same for any code point: ASCII, nearly every name's bulk, is done here.
inline std::int32_t UpperCaseOf(std::int32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
  return UnicodeUpper(c);
}

inline std::int32_t LowerCaseOf(std::int32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  return UnicodeLower(c);
}

inline std::int32_t FoldedCaseOf(std::int32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  return UnicodeFold(c);
}

// Whether c is a small letter (false for -1, the end of a text).
inline bool IsSmallLetter(std::int32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z';
  return UnicodeIsLower(c);
}

}  // namespace velmora
