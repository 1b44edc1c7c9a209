// What the file list and the search make of a folder's listing
// (FileSystem::ReadFolder).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_system.h"
#include "search/file_pattern.h"

namespace velmora {

// The names of listing.files that match pattern, sorted as the file list
// shows them (NameLess).
std::vector<std::string> MatchingFiles(const FolderListing& listing, const FilePattern& pattern);

// The same as positions in files, so that nothing is copied.
std::vector<std::uint32_t> MatchingPositions(const NameList& files, const FilePattern& pattern);

// The found-list text of a file: folder, one separator unless the folder
// already ends in one (the root), and the name.
std::string FoundEntryPath(const std::string& folder, const std::string& name);

// The folder as the start of its files' found-list texts: with one
// separator at its end.
std::string FoundEntryPrefix(const std::string& folder);

}  // namespace velmora
