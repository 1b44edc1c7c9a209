// The plan's view of the real disk: one listing per folder, a look at a
// single path where a folder cannot be listed, and whether a folder's file
// system ignores letter case (vfat, exfat, ntfs, smb, or a folder marked
// case-folding on ext4 and f2fs). It never changes anything.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/plan.h"
#include "services/mount_table.h"

namespace velmora {

// True for the mount types whose names ignore letter case.
bool IsCaselessFileSystemType(const std::string& type);

class LocalPlanDisk : public PlanDisk {
 public:
  // mountTable: a file in the format of /proc/self/mounts, read once when
  // first needed (tests pass their own).
  explicit LocalPlanDisk(std::string mountTable = kMountTable);

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override;
  PathKind Probe(const std::string& path) override;
  // From the folder's case-folding flag, else from the type of the mount
  // that holds its real path; false when neither can be told.
  bool IgnoresCase(const std::string& folder) override;
  // Device, inode, size and modification time of the entry itself.
  bool Identify(const std::string& path, FileIdentity& identity) override;

  // From the mount that holds the folder's real path.
  FileSystemKind FolderKind(const std::string& folder) override;

 private:
  std::string mountTable_;
  bool mountsRead_ = false;
  std::vector<MountEntry> mounts_;
  std::map<std::string, FileSystemKind> kinds_;  // by mount point
};

}  // namespace velmora
