// Reading one folder for the folder list, the file list and the search.
// Hidden entries (names beginning with ".") are left out; links to files
// count as files; links to folders are neither listed nor entered, so a link
// loop cannot trap the search.
#pragma once

#include <string>
#include <vector>

#include "engine/error_reporter.h"
#include "search/file_pattern.h"

namespace velmora {

struct FolderListing {
  Error error;                          // the folder could not be opened
  std::vector<std::string> subFolders;  // names, sorted by NameLess
  std::vector<std::string> files;       // names, in no particular order
};

class FolderReader {
 public:
  virtual ~FolderReader() = default;

  // The visible sub-folders and files of folder; on failure an empty listing
  // whose error carries the number and the platform's text.
  virtual FolderListing ReadFolder(const std::string& folder) = 0;
};

// The real disk.
class DiskFolderReader : public FolderReader {
 public:
  FolderListing ReadFolder(const std::string& folder) override;
};

// The names of listing.files that match pattern, sorted as the file list
// shows them (NameLess).
std::vector<std::string> MatchingFiles(const FolderListing& listing, const FilePattern& pattern);

// The found-list text of a file: folder, one separator unless the folder
// already ends in one (the root), and the name.
std::string FoundEntryPath(const std::string& folder, const std::string& name);

}  // namespace velmora
