// What the search side needs to know about drives (mounted file systems,
// each named by its mount point) and folders. services/drives.h answers from
// the running system; tests answer from a table.
#pragma once

#include <string>
#include <vector>

#include "engine/file_system.h"  // Drive

namespace velmora {

// The root every fallback goes to.
inline constexpr char kRootFolder[] = "/";

class DriveInfo {
 public:
  virtual ~DriveInfo() = default;

  // The drives for a drive list, sorted by mount point.
  virtual std::vector<Drive> Drives() = 0;

  // True when a drive whose mount point equals the whole designation is
  // mounted and readable; "" matches none.
  virtual bool IsDriveReady(const std::string& designation) = 0;

  // True when path names a folder that can be opened; false on any failure.
  virtual bool IsFolderPresent(const std::string& path) = 0;

  // The mount point of the drive that holds folder; kRootFolder when none
  // can be found.
  virtual std::string DriveOf(const std::string& folder) = 0;
};

}  // namespace velmora
