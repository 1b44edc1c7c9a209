#include "tags/file_name_parts.h"

#include "engine/error_numbers.h"
#include "engine/path.h"

namespace velmora {

bool SplitFileNamePartViews(std::string_view path, std::string_view separator,
                            FileNamePartViews& parts) {
  parts = {};
  const std::string_view name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view base = name.substr(0, dot);
  // Byte search is exact on UTF-8: a match always starts at a character.
  const std::size_t first = separator.empty() ? std::string_view::npos : base.find(separator);
  if (first == std::string_view::npos) {
    parts.part1 = base;
    return true;
  }
  parts.part1 = base.substr(0, first);
  std::string_view rest = base.substr(first + separator.size());
  const std::size_t second = rest.find(separator);
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
