// The mount table: which file systems are mounted where. The drive lists and
// the plan's case check read it through here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The default mount table.
inline constexpr char kMountTable[] = "/proc/self/mounts";

struct MountEntry {
  std::string point;  // mount point
  std::string type;   // file-system type
};

// The entries of a file in the format of /proc/self/mounts, in its order;
// none when it cannot be read.
std::vector<MountEntry> ReadMountTable(const std::string& table);

// True when path is folder or lies below it.
bool IsWithinFolder(std::string_view path, std::string_view folder);

}  // namespace velmora
