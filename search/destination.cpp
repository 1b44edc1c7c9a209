#include "search/destination.h"

#include "engine/path.h"

namespace velmora {
namespace {

// A folder list shows folders without a trailing separator, except the root.
std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  return folder;
}

}  // namespace

FolderAndDrive OpenDestination(const std::string& destPath, const std::string& destDrive,
                               DriveInfo& drives) {
  std::string folder = WithoutTrailingSeparator(destPath);
  if (folder.empty() || !drives.IsFolderPresent(folder) || !drives.IsDriveReady(destDrive)) {
    return {kRootFolder, kRootFolder};
  }
  return {folder, destDrive};
}

FolderAndDrive ChangeDrive(const std::string& chosenDrive, const std::string& currentFolder,
                           DriveInfo& drives) {
  if (drives.IsDriveReady(chosenDrive) && drives.IsFolderPresent(chosenDrive)) {
    return {chosenDrive, chosenDrive};
  }
  return {currentFolder, drives.DriveOf(currentFolder)};
}

AcceptedDestination AcceptDestination(const std::string& folder, const std::string& drive,
                                      SettingsWriter& settings) {
  settings.WriteSetting(kKeyDestPath, folder);
  settings.WriteSetting(kKeyDestDrive, drive);
  return {WithTrailingSeparator(folder), drive};
}

}  // namespace velmora
