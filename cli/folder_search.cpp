#include "cli/folder_search.h"

#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "search/folder_reader.h"
#include "search/search_command.h"
#include "services/command_line.h"
#include "services/drives.h"
#include "services/language.h"
#include "services/posix_file_system.h"

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
  [[nodiscard]] bool Responsive() const override { return false; }
};

// The drive of a folder goes only into the window's settings, which the
// command line never writes: no mount table is read and no mount point
// tried (each was a system call, and a hung network mount would stall).
class NoDrives : public DriveInfo {
 public:
  std::vector<Drive> Drives() override { return {}; }
  bool IsDriveReady(const std::string&) override { return false; }
  bool IsFolderPresent(const std::string& path) override { return FolderCanBeOpened(path); }
  std::string DriveOf(const std::string&) override { return ""; }
};

}  // namespace

std::optional<std::string> FolderArgument(const std::string& text) {
  std::error_code error;
  const std::string working = std::filesystem::current_path(error).string();
  NoDrives drives;
  std::optional<StartFolder> start = StartFolderFromCommandLine(text, working, drives);
  if (!start) {
    PrintProblem(Tr("velmora", "Pfad nicht gefunden:") + " " + text);
    return std::nullopt;
  }
  return start->folder;
}

std::optional<std::vector<std::string>> FolderArguments(const std::vector<std::string>& texts) {
  std::vector<std::string> folders;
  for (const std::string& text : texts) {
    std::optional<std::string> folder = FolderArgument(text);
    if (!folder) return std::nullopt;
    folders.push_back(std::move(*folder));
  }
  return folders;
}

ListOrder OrderOption(const std::string& name, bool reverse) {
  ListOrder order;
  ParseOrderName(name, order.by);
  order.reverse = reverse;
  return order;
}

std::vector<FoundEntry> SearchFolders(const std::vector<std::string>& folders,
                                      const std::string& pattern, bool subdirs,
                                      const ListOrder& order, bool markAll, Reporting& reporting,
                                      FileSystem* disk) {
  if (folders.size() == 1)
    return SearchFound(folders[0], pattern, subdirs, order, markAll, reporting, disk);
  // Another order than the default holds over the folders' order: the whole
  // list follows it. The default keeps each folder's list in turn.
  const bool ordered = !(order == ListOrder{});
  std::vector<FoundEntry> found;
  std::unordered_set<std::string> seen;
  for (const std::string& folder : folders) {
    for (FoundEntry& entry :
         SearchFound(folder, pattern, subdirs, ListOrder{}, markAll, reporting, disk)) {
      if (seen.insert(entry.path).second) found.push_back(std::move(entry));
    }
  }
  if (!ordered) return found;
  PosixFileSystem ownDisk;
  FileSystem& facts = disk != nullptr ? *disk : ownDisk;
  FoundList::SortEntries(
      found, order, [&facts](const std::string& path, std::int64_t& size, std::int64_t& modified) {
        FileIdentity identity;
        if (!facts.Identify(path, identity)) return false;
        size = identity.size;
        modified = identity.modified;
        return true;
      });
  return found;
}

std::vector<FoundEntry> SearchFound(const std::string& folder, const std::string& pattern,
                                    bool subdirs, const ListOrder& order, bool markAll,
                                    Reporting& reporting, FileSystem* disk) {
  PosixFileSystem ownDisk;
  NoSettings settings;
  QuietHost host;
  SearchCommand command(disk != nullptr ? *disk : ownDisk, settings, host, reporting.messages(),
                        reporting.reporter());
  if (subdirs) command.OptSubdirs_Click();
  command.SetOrder(order);
  SearchInputs inputs;
  inputs.currentFolder = folder;
  inputs.pattern = pattern;
  command.cmdSearch_Click(inputs);

  std::vector<FoundEntry> found = command.Found().TakeEntries();
  if (markAll) {
    for (FoundEntry& entry : found) entry.marked = true;
  }
  return found;
}

}  // namespace velmora::cli
