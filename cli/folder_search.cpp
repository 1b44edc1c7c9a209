#include "cli/folder_search.h"

#include <filesystem>
#include <system_error>

#include "search/folder_reader.h"
#include "search/search_command.h"
#include "services/command_line.h"
#include "services/drives.h"
#include "services/posix_file_system.h"
#include "services/translation.h"

namespace velmora::cli {
namespace {

class NoSettings : public SettingsWriter {
 public:
  void WriteSetting(const std::string&, const std::string&) override {}
};

// Nothing to show and no events to run: the search cannot be cancelled
// from here (Ctrl+C ends the program, which has changed nothing yet).
class QuietHost : public SearchHost {
 public:
  void ProcessPendingEvents() override {}
  bool Responsive() const override { return false; }
};

}  // namespace

std::optional<std::string> FolderArgument(const std::string& text) {
  std::error_code error;
  const std::string working = std::filesystem::current_path(error).string();
  MountedDrives drives;
  std::optional<StartFolder> start = StartFolderFromCommandLine(text, working, drives);
  if (!start) {
    PrintProblem(Tr("velmora", "Pfad nicht gefunden:") + " " + text);
    return std::nullopt;
  }
  return start->folder;
}

std::vector<FoundEntry> SearchFound(const std::string& folder, const std::string& pattern,
                                    bool subdirs, bool markAll, Reporting& reporting,
                                    FileSystem* disk) {
  PosixFileSystem ownDisk;
  NoSettings settings;
  QuietHost host;
  SearchCommand command(disk != nullptr ? *disk : ownDisk, settings, host, reporting.messages(),
                        reporting.reporter());
  if (subdirs) command.OptSubdirs_Click();
  SearchInputs inputs;
  inputs.drive = MountedDrives().DriveOf(folder);
  inputs.currentFolder = folder;
  inputs.pattern = pattern;
  command.cmdSearch_Click(inputs);

  std::vector<FoundEntry> found = command.Found().Entries();
  if (markAll) {
    for (FoundEntry& entry : found) entry.marked = true;
  }
  return found;
}

}  // namespace velmora::cli
