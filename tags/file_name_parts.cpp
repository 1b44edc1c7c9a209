#include "tags/file_name_parts.h"

#include "engine/error_numbers.h"
#include "engine/path.h"

namespace velmora {
namespace {

// Where separator first begins in text from from on, or npos: a plain look
// along the few bytes of a file name, without a library call per candidate.
std::size_t FindIn(std::string_view text, std::string_view separator) {
  if (separator.size() > text.size()) return std::string_view::npos;
  const char first = separator.front();
  const std::size_t last = text.size() - separator.size();
  for (std::size_t i = 0; i <= last; ++i) {
    if (text[i] != first) continue;
    std::size_t k = 1;
    while (k < separator.size() && text[i + k] == separator[k]) ++k;
    if (k == separator.size()) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool SplitFileNamePartViews(std::string_view path, std::string_view separator,
                            FileNamePartViews& parts) {
  parts = {};
  const std::string_view name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view base = name.substr(0, dot);
  // Byte search is exact on UTF-8: a match always starts at a character.
  const std::size_t first = separator.empty() ? std::string_view::npos : FindIn(base, separator);
  if (first == std::string_view::npos) {
    parts.part1 = base;
    return true;
  }
  parts.part1 = base.substr(0, first);
  std::string_view rest = base.substr(first + separator.size());
  const std::size_t second = FindIn(rest, separator);
  if (second != std::string_view::npos) {
    parts.part3 = rest.substr(second + separator.size());
    rest = rest.substr(0, second);
  }
  parts.part2 = rest;
  return true;
}

FileNameParts SplitFileNameParts(const std::string& path, const std::string& separator,
                                 Error* error) {
  FileNamePartViews views;
  if (!SplitFileNamePartViews(path, separator, views)) {
    if (error) *error = InvalidArgumentError();
    return {};
  }
  return {std::string(views.part1), std::string(views.part2), std::string(views.part3)};
}

}  // namespace velmora
