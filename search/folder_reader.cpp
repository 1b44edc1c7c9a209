#include "search/folder_reader.h"

#include "engine/path.h"
#include "search/name_order.h"

namespace velmora {

std::vector<std::string> MatchingFiles(const FolderListing& listing, const FilePattern& pattern) {
  std::vector<std::string> names;
  for (const std::string& name : listing.files) {
    if (pattern.Matches(name)) names.push_back(name);
  }
  SortNames(names);
  return names;
}

std::vector<std::string> MatchingFiles(std::vector<std::string>&& files,
                                       const FilePattern& pattern) {
  std::vector<std::string> names = std::move(files);
  std::erase_if(names, [&pattern](const std::string& name) { return !pattern.Matches(name); });
  SortNames(names);
  return names;
}

std::string FoundEntryPath(const std::string& folder, const std::string& name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path = folder;
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += name;
  return path;
}

}  // namespace velmora
