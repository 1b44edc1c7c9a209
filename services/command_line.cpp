#include "services/command_line.h"

#include <filesystem>

#include "engine/path.h"

namespace velmora {

std::string CommandLineText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty()) text += ' ';
    text += argument;
  }
  return text;
}

std::optional<StartFolder> StartFolderFromCommandLine(const std::string& text,
                                                      const std::string& workingFolder,
                                                      DriveInfo& drives) {
  if (text.empty()) return std::nullopt;
  std::string path = text;
  if (path.front() != kPathSeparator) path = workingFolder + kPathSeparator + path;
  // The folder list shows a clean absolute path without a trailing separator;
  // ".." is taken as written, as a shell would.
  std::string folder = std::filesystem::path(path).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  if (folder.empty() || folder.front() != kPathSeparator || !drives.IsFolderPresent(folder)) {
    return std::nullopt;
  }
  return StartFolder{drives.DriveOf(folder), folder};
}

}  // namespace velmora
