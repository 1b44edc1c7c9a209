#include "services/mount_table.h"

#include <fcntl.h>
#include <mntent.h>
#include <unistd.h>

#include <algorithm>

#include "engine/path.h"

namespace velmora {
namespace {

// The volume's name field in its boot sector, bytes 3 to 10 ("EXFAT   ",
// "NTFS    "); "" when the device cannot be read.
std::string BootSectorName(const std::string& device) {
  const int fd = ::open(device.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char name[8];
  const bool read = ::pread(fd, name, sizeof name, 3) == static_cast<ssize_t>(sizeof name);
  ::close(fd);
  return read ? std::string(name, sizeof name) : std::string();
}

}  // namespace

std::vector<MountEntry> ReadMountTable(const std::string& table) {
  std::vector<MountEntry> entries;
  FILE* file = ::setmntent(table.c_str(), "r");
  if (file == nullptr) return entries;
  while (const mntent* entry = ::getmntent(file)) {
    entries.push_back({entry->mnt_dir, entry->mnt_type, entry->mnt_fsname});
  }
  ::endmntent(file);
  return entries;
}

bool IsWithinFolder(std::string_view path, std::string_view folder) {
  if (folder == kPathSeparatorText) return path.starts_with(kPathSeparatorText);
  return path.starts_with(folder) &&
         (path.size() == folder.size() || path[folder.size()] == kPathSeparator);
}

const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, std::string_view path) {
  const MountEntry* best = nullptr;
  for (const MountEntry& mount : mounts) {
    if (IsWithinFolder(path, mount.point) &&
        (best == nullptr || mount.point.size() >= best->point.size())) {
      best = &mount;
    }
  }
  return best;
}

FileSystemKind KindOfMount(const MountEntry& mount) {
  static constexpr std::string_view kFat[] = {"vfat", "msdos", "fat"};
  static constexpr std::string_view kExfat[] = {"exfat", "fuse.exfat", "fuseblk.exfat"};
  static constexpr std::string_view kNtfs[] = {"ntfs", "ntfs3", "fuseblk.ntfs-3g"};
  const auto among = [&mount](const auto& types) {
    return std::find(std::begin(types), std::end(types), mount.type) != std::end(types);
  };
  if (among(kFat)) return FileSystemKind::kFat;
  if (among(kExfat)) return FileSystemKind::kExfat;
  if (among(kNtfs)) return FileSystemKind::kNtfs;
  if (mount.type != "fuseblk") return FileSystemKind::kUnknown;
  const std::string name = BootSectorName(mount.device);
  if (name == "EXFAT   ") return FileSystemKind::kExfat;
  if (name == "NTFS    ") return FileSystemKind::kNtfs;
  return FileSystemKind::kUnknown;
}

}  // namespace velmora
