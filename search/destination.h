// The logic of the destination chooser `DirSearch` ("Zielpfad") and of a
// drive change in any drive list: where the folder list and the drive list
// stand, and what "Übernehmen" stores and hands to the run.
#pragma once

#include <string>

#include "search/drive_info.h"
#include "search/settings_writer.h"

namespace velmora {

// A folder list's current folder and a drive list's drive.
struct FolderAndDrive {
  std::string folder;
  std::string drive;
};

// `Form_Load` of `DirSearch`: the folder list opens on destPath (without its
// trailing separator) and the drive list on destDrive. When the folder is
// not present or the drive is not ready, both fall back to "/".
FolderAndDrive OpenDestination(const std::string& destPath, const std::string& destDrive,
                               DriveInfo& drives);

// `Drive1_Change` and `drvList_Change`: the folder list moves to the chosen
// drive's root. A drive that is not ready leaves the folder where it was and
// sets the drive list back to the drive holding that folder; no message.
FolderAndDrive ChangeDrive(const std::string& chosenDrive, const std::string& currentFolder,
                           DriveInfo& drives);

// The accepted destination as the run uses it.
struct AcceptedDestination {
  std::string destPath;  // ends in the separator
  std::string destDrive;
};

// `CmdOk_Click`: stores folder under destPath as it is, then drive under
// destDrive, and returns destPath with a separator appended unless it
// already ends in one.
AcceptedDestination AcceptDestination(const std::string& folder, const std::string& drive,
                                      SettingsWriter& settings);

}  // namespace velmora
