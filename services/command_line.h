// The folder passed on the command line (as a file manager's folder action
// passes it): the search starts on that folder and on the drive holding it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "search/drive_info.h"

namespace velmora {

struct StartFolder {
  std::string drive;   // the mount point that holds the folder
  std::string folder;  // absolute, no trailing separator except for "/"
};

// The command line's argument text: the arguments after the program's name
// joined by single blanks, so an unquoted path with blanks stays one path;
// "" when there are none.
std::string CommandLineText(const std::vector<std::string>& arguments);

// The start folder named by text (relative texts are taken from
// workingFolder; a trailing separator is fine). nullopt when text names no
// folder that can be opened.
std::optional<StartFolder> StartFolderFromCommandLine(const std::string& text,
                                                      const std::string& workingFolder,
                                                      DriveInfo& drives);

}  // namespace velmora
