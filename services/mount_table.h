// The mount table: which file systems are mounted where. The drive lists and
// the plan's case and name checks read it through here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/path.h"

namespace velmora {

// The default mount table.
inline constexpr char kMountTable[] = "/proc/self/mounts";

struct MountEntry {
  std::string point;   // mount point
  std::string type;    // file-system type
  std::string device;  // what is mounted (a device path for block file systems)
};

// The entries of a file in the format of /proc/self/mounts, in its order;
// none when it cannot be read.
std::vector<MountEntry> ReadMountTable(const std::string& table);

// True when path is folder or lies below it.
bool IsWithinFolder(std::string_view path, std::string_view folder);

// The mount that holds the real path `path`: of the longest matching mount
// points the last, which is the one on top. Null when none matches.
const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, std::string_view path);

// The file-system kind of a mount, from its type. FUSE block mounts
// ("fuseblk", as exfat-fuse and ntfs-3g show both) are told apart by the
// volume's boot sector when the device can be read; kUnknown otherwise.
FileSystemKind KindOfMount(const MountEntry& mount);

}  // namespace velmora
