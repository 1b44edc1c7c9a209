#include "services/mount_table.h"

#include <mntent.h>

#include "engine/path.h"

namespace velmora {

std::vector<MountEntry> ReadMountTable(const std::string& table) {
  std::vector<MountEntry> entries;
  FILE* file = ::setmntent(table.c_str(), "r");
  if (file == nullptr) return entries;
  while (const mntent* entry = ::getmntent(file)) {
    entries.push_back({entry->mnt_dir, entry->mnt_type});
  }
  ::endmntent(file);
  return entries;
}

bool IsWithinFolder(std::string_view path, std::string_view folder) {
  if (folder == kPathSeparatorText) return path.starts_with(kPathSeparatorText);
  return path.starts_with(folder) &&
         (path.size() == folder.size() || path[folder.size()] == kPathSeparator);
}

}  // namespace velmora
