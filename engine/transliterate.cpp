#include "engine/transliterate.h"

#include <unicode/utf8.h>

#include <algorithm>

#include "engine/unicode_library.h"

namespace velmora {
namespace {

bool IsUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

// The umlaut of a vowel followed by a combining diaeresis; -1 for others.
UChar32 WithDiaeresis(UChar32 vowel) {
  switch (vowel) {
    case 'a':
      return 0xE4;
    case 'o':
      return 0xF6;
    case 'u':
      return 0xFC;
    case 'A':
      return 0xC4;
    case 'O':
      return 0xD6;
    case 'U':
      return 0xDC;
    default:
      return -1;
  }
}

// The spelling of a German letter; null for any other character.
const char* GermanSpelling(UChar32 c, bool smallNext) {
  switch (c) {
    case 0xE4:
      return "ae";
    case 0xF6:
      return "oe";
    case 0xFC:
      return "ue";
    case 0xDF:
      return "ss";
    case 0xC4:
      return smallNext ? "Ae" : "AE";
    case 0xD6:
      return smallNext ? "Oe" : "OE";
    case 0xDC:
      return smallNext ? "Ue" : "UE";
    case 0x1E9E:
      return smallNext ? "Ss" : "SS";
    default:
      return nullptr;
  }
}

// The German rules alone, decomposed umlauts included.
void AppendGerman(std::string_view name, std::string& out) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(name.data());
  const auto length = static_cast<std::int32_t>(name.size());
  const auto peek = [&](std::int32_t at) {
    UChar32 next = -1;
    if (at < length) U8_NEXT(s, at, length, next);
    return next;
  };
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t begin = i;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (peek(i) == 0x308 && WithDiaeresis(c) >= 0) {
      c = WithDiaeresis(c);
      U8_FWD_1(s, i, length);
    }
    const char* spelling = GermanSpelling(c, IsSmallLetter(peek(i)));
    if (spelling != nullptr) {
      out += spelling;
    } else {
      out.append(name.substr(begin, static_cast<std::size_t>(i - begin)));
    }
  }
}

}  // namespace

void AppendTransliterated(std::string_view name, bool germanOnly, std::string& out) {
  if (!IsUtf8(name)) {
    out.append(name);
    return;
  }
  if (germanOnly) {
    AppendGerman(name, out);
    return;
  }
  // ASCII comes out of the transform as it went in.
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  const UnicodeCalls* calls = ascii ? nullptr : LoadUnicodeLibrary();
  if (calls == nullptr || !calls->transliterate(name, out)) out.append(name);
}

}  // namespace velmora
