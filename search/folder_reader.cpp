#include "search/folder_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "engine/error_numbers.h"
#include "engine/path.h"
#include "search/name_order.h"

namespace velmora {
namespace {

enum class Kind { kFile, kFolder, kOther };

Kind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return Kind::kFile;
  if (S_ISDIR(mode)) return Kind::kFolder;
  return Kind::kOther;
}

// What an entry counts as: a link counts as a file when it leads to one and
// as nothing otherwise, so links to folders are never entered.
Kind KindOf(int dirFd, const dirent& entry) {
  switch (entry.d_type) {
    case DT_REG:
      return Kind::kFile;
    case DT_DIR:
      return Kind::kFolder;
    case DT_LNK: {
      struct stat target {};
      if (fstatat(dirFd, entry.d_name, &target, 0) != 0) return Kind::kOther;
      return KindOfMode(target.st_mode) == Kind::kFile ? Kind::kFile : Kind::kOther;
    }
    case DT_UNKNOWN: {
      struct stat own {};
      if (fstatat(dirFd, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) return Kind::kOther;
      if (!S_ISLNK(own.st_mode)) return KindOfMode(own.st_mode);
      struct stat target {};
      if (fstatat(dirFd, entry.d_name, &target, 0) != 0) return Kind::kOther;
      return KindOfMode(target.st_mode) == Kind::kFile ? Kind::kFile : Kind::kOther;
    }
    default:
      return Kind::kOther;
  }
}

// Sorts names by NameLess, computing each name's key once.
void SortNames(std::vector<std::string>& names) {
  if (names.size() < 2) return;
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) {
    std::string key = SortKey(name);
    keyed.emplace_back(std::move(key), std::move(name));
  }
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace

FolderListing DiskFolderReader::ReadFolder(const std::string& folder) {
  FolderListing listing;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    listing.error = ErrorFromErrno(errno, ErrnoUse::kFolder);
    return listing;
  }
  int dirFd = dirfd(dir);
  while (true) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) {
        listing = {};
        listing.error = ErrorFromErrno(errno, ErrnoUse::kFolder);
      }
      break;
    }
    if (entry->d_name[0] == '.') continue;  // hidden, and "." and ".."
    switch (KindOf(dirFd, *entry)) {
      case Kind::kFile:
        listing.files.emplace_back(entry->d_name);
        break;
      case Kind::kFolder:
        listing.subFolders.emplace_back(entry->d_name);
        break;
      case Kind::kOther:
        break;
    }
  }
  closedir(dir);
  SortNames(listing.subFolders);
  return listing;
}

std::vector<std::string> MatchingFiles(const FolderListing& listing, const FilePattern& pattern) {
  std::vector<std::string> names;
  for (const std::string& name : listing.files) {
    if (pattern.Matches(name)) names.push_back(name);
  }
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
