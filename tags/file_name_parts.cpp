#include "tags/file_name_parts.h"

#include "engine/path.h"

namespace velmora {

FileNameParts SplitFileNameParts(const std::string& path, const std::string& separator,
                                 Error* error) {
  Error failure;
  const std::string base = SplitExtension(SplitPath(path, false), true, &failure);
  if (failure) {
    if (error) *error = failure;
    return {};
  }
  FileNameParts parts{base, {}, {}};
  if (separator.empty()) return parts;
  // Byte search is exact on UTF-8: a match always starts at a character.
  const std::size_t first = base.find(separator);
  if (first == std::string::npos) return parts;
  parts.part1 = base.substr(0, first);
  parts.part2 = base.substr(first + separator.size());
  const std::size_t second = parts.part2.find(separator);
  if (second != std::string::npos) {
    parts.part3 = parts.part2.substr(second + separator.size());
    parts.part2.resize(second);
  }
  return parts;
}

}  // namespace velmora
