// Drives on Linux: the mounted file systems that hold user files, each named
// by its mount point. A drive is ready when it is mounted and its mount point
// can be read.
#pragma once

#include <string>
#include <vector>

#include "search/drive_info.h"
#include "services/mount_table.h"

namespace velmora {

class MountedDrives : public DriveInfo {
 public:
  // mountTable: a file in the format of /proc/self/mounts (tests pass their own).
  explicit MountedDrives(std::string mountTable = kMountTable);
  // Reads the table once and keeps its drives: for a short run that asks
  // about a few folders, not for a window that outlives a mount.
  static MountedDrives ReadOnce();

  // Mount points of real file systems (kernel pseudo file systems such as
  // proc, sysfs or cgroup are left out), sorted, each listed once. An
  // unreadable table gives the root alone.
  std::vector<Drive> Drives() override;
  bool IsDriveReady(const std::string& designation) override;
  bool IsFolderPresent(const std::string& path) override;
  // The longest listed mount point that holds the folder's real path.
  std::string DriveOf(const std::string& folder) override;

 private:
  std::string mountTable_;
  bool once_ = false;
  bool read_ = false;
  std::vector<Drive> drives_;
};

// True when path names a folder that can be opened and read.
bool FolderCanBeOpened(const std::string& path);

}  // namespace velmora
