#include "engine/transliterate.h"

#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <memory>

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

// Created once per thread: building the transform parses its rules.
const icu::Transliterator* GermanAscii() {
  thread_local const std::unique_ptr<icu::Transliterator> transform = [] {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parse{};
    return std::unique_ptr<icu::Transliterator>(icu::Transliterator::createInstance(
        icu::UnicodeString::fromUTF8("NFC; [[:L:][:M:]] de-ASCII"), UTRANS_FORWARD, parse, status));
  }();
  return transform.get();
}

// The German rules alone, decomposed umlauts included.
void AppendGerman(std::string_view name, std::string& out) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(name.data());
  const auto length = static_cast<std::int32_t>(name.size());
  std::int32_t i = 0;
  UChar32 c = 0;
  const auto peek = [&](std::int32_t at) {
    UChar32 next = -1;
    if (at < length) U8_NEXT(s, at, length, next);
    return next;
  };
  while (i < length) {
    const std::int32_t begin = i;
    U8_NEXT(s, i, length, c);
    if (peek(i) == 0x308 &&
        (c == 'a' || c == 'o' || c == 'u' || c == 'A' || c == 'O' || c == 'U')) {
      c = c == 'a'   ? 0xE4
          : c == 'o' ? 0xF6
          : c == 'u' ? 0xFC
          : c == 'A' ? 0xC4
          : c == 'O' ? 0xD6
                     : 0xDC;
      U8_FWD_1(s, i, length);
    }
    const bool smallNext = u_islower(peek(i)) != 0;
    switch (c) {
      case 0xE4:
        out += "ae";
        break;
      case 0xF6:
        out += "oe";
        break;
      case 0xFC:
        out += "ue";
        break;
      case 0xDF:
        out += "ss";
        break;
      case 0xC4:
        out += smallNext ? "Ae" : "AE";
        break;
      case 0xD6:
        out += smallNext ? "Oe" : "OE";
        break;
      case 0xDC:
        out += smallNext ? "Ue" : "UE";
        break;
      case 0x1E9E:
        out += smallNext ? "Ss" : "SS";
        break;
      default:
        out.append(name.substr(begin, i - begin));
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
  const icu::Transliterator* transform = GermanAscii();
  if (transform == nullptr) {
    out.append(name);
    return;
  }
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(name.data(), static_cast<std::int32_t>(name.size())));
  transform->transliterate(text);
  text.toUTF8String(out);
}

}  // namespace velmora
