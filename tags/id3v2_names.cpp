// The names and checks of ID3v2 values that need no tag library.
#include <algorithm>

#include "tags/genre.h"
#include "tags/id3v2_tag.h"

namespace velmora {

const char* Id3v2ModeName(Id3v2Mode mode) {
  switch (mode) {
    case Id3v2Mode::kAlways:
      return "always";
    case Id3v2Mode::kNever:
      return "never";
    case Id3v2Mode::kAuto:
      break;
  }
  return "auto";
}

std::optional<Id3v2Mode> ParseId3v2Mode(std::string_view name) {
  for (Id3v2Mode mode : {Id3v2Mode::kAuto, Id3v2Mode::kAlways, Id3v2Mode::kNever}) {
    if (name == Id3v2ModeName(mode)) return mode;
  }
  return std::nullopt;
}

bool IsId3v2Year(const std::string& year) {
  return !year.empty() && year.size() <= 4 &&
         std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int TableGenreNumber(const std::string& name) {
  for (int i = 0; i < kNamedGenreCount; ++i) {
    if (GenreNames()[i] == name) return i;
  }
  return -1;
}

}  // namespace velmora
