// German transliteration of names to ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Appends name transliterated: with germanOnly false through ICU's
// "NFC; [[:L:][:M:]] de-ASCII" (letters only, so "½" or "…" stay), with
// germanOnly true only ä ö ü ß and their capitals by the same German
// rules. Ä, Ö, Ü become Ae, Oe, Ue before a small letter and AE, OE, UE
// otherwise. A name that is not UTF-8 is appended unchanged.
void AppendTransliterated(std::string_view name, bool germanOnly, std::string& out);

}  // namespace velmora
