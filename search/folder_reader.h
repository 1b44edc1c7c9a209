// What the file list and the search make of a folder's listing
// (FileSystem::ReadFolder).
#pragma once

#include <string>
#include <vector>

#include "engine/file_system.h"
#include "search/file_pattern.h"

namespace velmora {

// The names of listing.files that match pattern, sorted as the file list
// shows them (NameLess).
std::vector<std::string> MatchingFiles(const FolderListing& listing, const FilePattern& pattern);
// The same, taken out of files (the names of a listing nobody shows).
std::vector<std::string> MatchingFiles(std::vector<std::string>&& files,
                                       const FilePattern& pattern);

// The found-list text of a file: folder, one separator unless the folder
// already ends in one (the root), and the name.
std::string FoundEntryPath(const std::string& folder, const std::string& name);

}  // namespace velmora
