// Text of the tag fields: one byte per character in Windows-1252 on disk,
// UTF-8 in the program. Bytes 0x80..0x9F follow the Windows-1252 table.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The UTF-8 text of Windows-1252 bytes; every byte gives one character
// (the five bytes the table leaves free give the control characters U+0081,
// U+008D, U+008F, U+0090, U+009D, as Windows does).
std::string Windows1252ToUtf8(std::string_view bytes);

// The Windows-1252 bytes of UTF-8 text, one per character. A character the
// code page cannot hold, and each byte that is not valid UTF-8, becomes "?".
std::string Utf8ToWindows1252(std::string_view text);

}  // namespace velmora
