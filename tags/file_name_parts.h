// Cutting a file's base name into up to three parts at a separator text, the
// source of tag values taken from file names ("Artist - Title.mp3").
#pragma once

#include <string>
#include <string_view>

#include "engine/error_reporter.h"

namespace velmora {

struct FileNameParts {
  std::string part1;  // before the first separator, or the whole base name
  std::string part2;  // between the first and the second separator
  std::string part3;  // after the second separator, further separators included
};

// The parts of the base name (file name without folder and extension) of
// path. An empty or absent separator gives the whole base name as part 1.
// Matching is exact and case-sensitive; blanks are not trimmed. A file name
// without "." has no base name: `error` is set to 5 and all parts are empty.
FileNameParts SplitFileNameParts(const std::string& path, const std::string& separator,
                                 Error* error = nullptr);

// The same parts as views into path; false (parts empty) for a file name
// without ".".
struct FileNamePartViews {
  std::string_view part1, part2, part3;
};
bool SplitFileNamePartViews(std::string_view path, std::string_view separator,
                            FileNamePartViews& parts);

}  // namespace velmora
