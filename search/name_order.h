// Letter-case-free comparison of names and paths, as the folder list, the
// file list and the found list sort and as patterns match. Works on UTF-8
// code points; an invalid byte stands for itself.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The text with every letter in lower case: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic letters are folded; everything else is kept as it is.
std::string FoldCase(std::string_view text);

// True when a sorts before b with letter case ignored; texts that differ only
// in case are ordered by their bytes, so the order is total and stable.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace velmora
