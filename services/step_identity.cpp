#include "services/step_identity.h"

#include <sys/statfs.h>

#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/path.h"

namespace velmora {
namespace {

// File systems whose inode numbers are made up at mount time or passed
// through from elsewhere.
bool InodesStable(long type) {
  constexpr long kUnstable[] = {
      0x4d44,      // vfat, msdos
      0x2011BAB0,  // exfat
      0x5346544e,  // ntfs (ntfs-3g reports FUSE)
      0x7366746e,  // ntfs3
      0x65735546,  // FUSE
      0x794c7630,  // overlay
  };
  for (const long unstable : kUnstable) {
    if (type == unstable) return false;
  }
  return true;
}

struct FileSystemId {
  std::uint64_t fsid = 0;
  bool stable = false;
};

}  // namespace

void AddFileSystemIdentity(const std::string& path, std::uint64_t device, StepIdentity& id) {
  static std::mutex mutex;
  static std::vector<std::pair<std::uint64_t, FileSystemId>> seen;  // by device
  {
    const std::lock_guard<std::mutex> lock(mutex);
    for (const auto& [dev, known] : seen) {
      if (dev != device) continue;
      id.fsid = known.fsid;
      id.inodeStable = known.stable;
      return;
    }
  }
  // The folder, not the file: the file may be a link, which statfs would follow.
  const std::string_view folder = FolderOf(path);
  struct statfs fs {};
  if (::statfs(folder.empty() ? "." : std::string(folder).c_str(), &fs) != 0) return;
  FileSystemId known;
  std::uint32_t words[2];
  std::memcpy(words, &fs.f_fsid, sizeof words);
  known.fsid = (static_cast<std::uint64_t>(words[0]) << 32) | words[1];
  known.stable = InodesStable(static_cast<long>(fs.f_type));
  id.fsid = known.fsid;
  id.inodeStable = known.stable;
  const std::lock_guard<std::mutex> lock(mutex);
  seen.emplace_back(device, known);
}

bool ProvesSame(const StepIdentity& recorded, const StepIdentity& now) {
  if (!recorded.known || !now.known || recorded.size != now.size ||
      recorded.mtimeNs != now.mtimeNs) {
    return false;
  }
  return !recorded.inodeStable || (recorded.inode == now.inode && recorded.fsid == now.fsid);
}

}  // namespace velmora
