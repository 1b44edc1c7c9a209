// How names and paths are compared and sorted. FoldCase serves the pattern
// match (letter case ignored, letters kept apart); SortKey gives the order a
// German reader expects of the folder, file and found lists: case ignored,
// umlauts and accented letters beside their base letters, "ß" as "ss". The
// order comes from fixed tables, never from the installed locales, so every
// machine sorts alike. Works on UTF-8 code points; an invalid byte stands for
// itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The text with every letter in lower case: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic letters are folded; everything else is kept as it is.
std::string FoldCase(std::string_view text);

// The key a name sorts by: FoldCase, then Latin letters reduced to their base
// letters ("Ä" and "á" to "a", "Ø" to "o"), "ß" and "ẞ" to "ss", "Æ" to "ae",
// "Œ" to "oe", "Þ" to "th", and combining accents dropped.
std::string SortKey(std::string_view text);

// SortKey(text) into key, whose room is reused.
void SortKeyInto(std::string_view text, std::string& key);

// SortKey(text) written to out, which has room for text.size() bytes (a key
// is never longer than its text); returns the key's length.
std::size_t WriteSortKey(std::string_view text, char* out);

// True when a sorts before b by SortKey; texts with equal keys are ordered by
// their bytes, so the order is total and stable.
bool NameLess(std::string_view a, std::string_view b);

// Sorts names by NameLess, computing each name's key once.
void SortNames(std::vector<std::string>& names);

// The positions of names in NameLess order, each name's key computed once.
std::vector<std::uint32_t> NameOrder(const std::vector<std::string_view>& names);

// Compares two sort keys as NameLess does, except that runs of ASCII digits
// compare by their value ("titel 2" before "titel 10"): <0, 0 or >0. Runs of
// equal value compare equal whatever their leading zeros.
int NaturalCompare(std::string_view keyA, std::string_view keyB);

// The orders the found list can follow.
enum class OrderBy { kName, kNatural, kModified, kSize };

struct ListOrder {
  OrderBy by = OrderBy::kName;
  bool reverse = false;  // "absteigend"
  bool operator==(const ListOrder&) const = default;
};

// Whether the order needs each file's size and modification time.
inline bool NeedsFileFacts(const ListOrder& order) {
  return order.by == OrderBy::kModified || order.by == OrderBy::kSize;
}

// The order's command-line name ("name", "natural", "modified", "size") and
// back; false for an unknown name.
const char* OrderName(OrderBy by);
bool ParseOrderName(std::string_view name, OrderBy& by);

}  // namespace velmora
