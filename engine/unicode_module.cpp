// The entry of velmora-unicode.so: ICU's letter case and the German
// transform behind the table of its calls (unicode_library.h). Everything
// else in the library stays hidden.
#include <unicode/translit.h>
#include <unicode/uchar.h>

#include <memory>

#include "engine/unicode_library.h"

namespace velmora {
namespace {

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

bool Transliterate(std::string_view name, std::string& out) {
  const icu::Transliterator* transform = GermanAscii();
  if (transform == nullptr) return false;
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(name.data(), static_cast<std::int32_t>(name.size())));
  transform->transliterate(text);
  text.toUTF8String(out);
  return true;
}

const UnicodeCalls kCalls = [] {
  UnicodeCalls calls;
  calls.upper = [](std::int32_t c) -> std::int32_t { return u_toupper(c); };
  calls.lower = [](std::int32_t c) -> std::int32_t { return u_tolower(c); };
  calls.fold = [](std::int32_t c) -> std::int32_t { return u_foldCase(c, U_FOLD_CASE_DEFAULT); };
  calls.isLower = [](std::int32_t c) { return u_islower(c) != 0; };
  calls.transliterate = &Transliterate;
  return calls;
}();

}  // namespace
}  // namespace velmora

extern "C" __attribute__((visibility("default"))) const velmora::UnicodeCalls*
velmora_unicode_calls() {
  return &velmora::kCalls;
}
