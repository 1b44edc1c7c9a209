// The genre table of the ID3 version 1 tag: a name for each of the 256 genre
// bytes, and the lookup from a name back to its byte.
#pragma once

#include <array>
#include <string>

namespace velmora {

inline constexpr int kGenreCount = 256;
inline constexpr int kNamedGenreCount = 116;  // 0..115; the rest are "Undefined"
inline constexpr int kGenreOther = 12;

// The 256 genre names by genre byte; 116 to 255 are all "Undefined".
const std::array<std::string, kGenreCount>& GenreNames();

// The first position among 0..115 whose name equals name (exact, case-
// sensitive); 12 ("Other") when none does. Cannot fail.
int GenreIndex(const std::string& name);

}  // namespace velmora
