#include "search/folder_reader.h"

#include "engine/path.h"
#include "search/name_order.h"

namespace velmora {

std::vector<std::string> MatchingFiles(const FolderListing& listing, const FilePattern& pattern) {
  std::vector<std::string> names;
  for (const std::uint32_t at : MatchingPositions(listing.files, pattern)) {
    names.emplace_back(listing.files[at]);
  }
  return names;
}

std::vector<std::uint32_t> MatchingPositions(const NameList& files, const FilePattern& pattern) {
  std::vector<std::string_view> names;
  std::vector<std::uint32_t> positions;
  names.reserve(files.size());
  positions.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string_view name = files[i];
    if (!pattern.Matches(name)) continue;
    names.push_back(name);
    positions.push_back(static_cast<std::uint32_t>(i));
  }
  // The sort gives places among the matches: each becomes its place in files.
  std::vector<std::uint32_t> order = NameOrder(names);
  for (std::uint32_t& at : order) at = positions[at];
  return order;
}

std::string FoundEntryPath(const std::string& folder, const std::string& name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path = folder;
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += name;
  return path;
}

std::string FoundEntryPrefix(const std::string& folder) {
  std::string prefix = folder;
  if (prefix.empty() || prefix.back() != kPathSeparator) prefix += kPathSeparator;
  return prefix;
}

}  // namespace velmora
