// The genre table of the ID3 version 1 tag: a name for each of the 256 genre
// bytes, and the lookup from a name back to its byte.
#pragma once

#include <array>
#include <string>

#include "tags/tag_record.h"

namespace velmora {

inline constexpr int kGenreCount = 256;
inline constexpr int kNamedGenreCount = 116;  // 0..115; the rest are "Undefined"
inline constexpr int kGenreOther = 12;
// The byte players read as "no genre".
inline constexpr int kGenreNone = 255;

// The 256 genre names by genre byte; 116 to 255 are all "Undefined".
const std::array<std::string, kGenreCount>& GenreNames();

// The genre shown for a byte: its name, or the empty text for 255 (none).
const std::string& GenreText(int genre);

// The genre a record shows: none for the empty record (a file without tag).
const std::string& GenreText(const TagRecord& record);

// The first position among 0..115 whose name equals name (exact, case-
// sensitive); 255 (none) for the empty text, 12 ("Other") for any other.
// Cannot fail.
int GenreIndex(const std::string& name);

}  // namespace velmora
