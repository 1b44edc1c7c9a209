#include "tags/file_name_parts.h"

#include <string_view>

#include "engine/error_numbers.h"
#include "engine/path.h"

namespace velmora {

FileNameParts SplitFileNameParts(const std::string& path, const std::string& separator,
                                 Error* error) {
  // Views into path: one string per part, not per step.
  const std::string_view name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    if (error) *error = InvalidArgumentError();
    return {};
  }
  const std::string_view base = name.substr(0, dot);
  if (separator.empty()) return {std::string(base), {}, {}};
  // Byte search is exact on UTF-8: a match always starts at a character.
  const std::size_t first = base.find(separator);
  if (first == std::string_view::npos) return {std::string(base), {}, {}};
  FileNameParts parts;
  parts.part1.assign(base.substr(0, first));
  std::string_view rest = base.substr(first + separator.size());
  const std::size_t second = rest.find(separator);
  if (second != std::string_view::npos) {
    parts.part3.assign(rest.substr(second + separator.size()));
    rest = rest.substr(0, second);
  }
  parts.part2.assign(rest);
  return parts;
}

}  // namespace velmora
