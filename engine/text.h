// UTF-8 text helpers for file names. Positions and lengths count characters
// (Unicode code points); a byte that does not belong to a well-formed
// sequence counts as one character of its own, so no helper ever splits a
// sequence or fails on bad input. Positions are 1-based, 0 meaning "none".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The byte length of the character starting at `offset` (1 for an invalid
// byte); 0 at or past the end.
std::size_t CharByteLength(std::string_view text, std::size_t offset);

// The number of characters in `text`.
std::size_t CharLength(std::string_view text);

// The byte offset where the character at 1-based `position` starts; the text's
// byte size for positions past the end, 0 for positions below 1.
std::size_t ByteOffsetOfChar(std::string_view text, std::size_t position);

// The first `count` characters (the whole text when it is shorter).
std::string_view LeftChars(std::string_view text, std::size_t count);

// The last `count` characters (the whole text when it is shorter).
std::string_view RightChars(std::string_view text, std::size_t count);

// The characters from 1-based `position` to the end (empty past the end;
// positions below 1 read as 1).
std::string_view MidChars(std::string_view text, std::size_t position);

// `count` characters from 1-based `position` on (fewer at the end).
std::string_view MidChars(std::string_view text, std::size_t position, std::size_t count);

// Where a search found its text: the 1-based character position (0 when not
// found) and the byte offset of the match.
struct TextHit {
  std::size_t position = 0;
  std::size_t offset = 0;
  explicit operator bool() const { return position != 0; }
};

// Letter case, by ICU's simple one-to-one mapping of each code point
// (u_toupper, u_tolower, u_foldCase), never the whole-string one that turns
// "ß" into "SS". Bytes outside well-formed sequences are kept as they are.

// `text` with every letter folded, so that names equal but for case (on
// vfat, exFAT, NTFS) fold alike: "É" meets "é", "Σ" meets "ς".
std::string FoldLetterCase(std::string_view text);

// Appends `text` with every letter made capital ("café" gives "CAFÉ").
void AppendUpperCase(std::string_view text, std::string& out);

// Appends `text` with every letter made small ("ÉCOLE" gives "école").
void AppendLowerCase(std::string_view text, std::string& out);

// Appends `text` with each small letter at a word start made capital: the
// first character, and a character after a blank that is not the first
// character ("über alles" gives "Über Alles", " abc" stays). Capitals are
// not lowered.
void AppendWordCapitals(std::string_view text, std::string& out);

// The first case-sensitive occurrence of `needle` in `text` that starts and
// ends on character boundaries. An empty needle is found at position 1.
TextHit FindTextHit(std::string_view text, std::string_view needle);

// The same search ignoring letter case: A-Z with a-z and the Latin-1 letters
// À-Þ with à-þ (× and ÷ are not letters), so that positions stay byte for
// byte.
TextHit FindTextNoCaseHit(std::string_view text, std::string_view needle);

// The 1-based character position of the first case-sensitive occurrence, or 0.
std::size_t FindText(std::string_view text, std::string_view needle);

// The 1-based character position of the first occurrence ignoring letter
// case, or 0.
std::size_t FindTextNoCase(std::string_view text, std::string_view needle);

// `text` with every occurrence of `from` replaced by `to`, scanning left to
// right without overlaps, case-sensitive; an empty `from` changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// ReplaceAll appending its result to `out`; returns how many occurrences it
// replaced.
std::size_t AppendReplaced(std::string& out, std::string_view text, std::string_view from,
                           std::string_view to);

}  // namespace velmora
