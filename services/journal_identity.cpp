// Where the journal lives, which file a step saw, and whether a run goes on.
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "engine/path.h"
#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_scan.h"
#include "services/own_file.h"

namespace velmora {

StepIdentity IdentityOf(FileSystem& disk, const std::string& path, bool folder) {
  FileIdentity found;
  if (!disk.Identify(path, found)) return {};
  // A mount point is judged by the file system it is the root of.
  FileSystemIdentity fs;
  const bool told = disk.IdentifyFileSystem(folder ? path : JournalFolderOf(path), fs);
  return {true,        found.size, found.modified,        found.device,
          found.inode, fs.fsid,    told && fs.inodeStable};
}

bool SameIdentity(const StepIdentity& a, const StepIdentity& b) {
  return a.known && b.known && a.size == b.size && a.mtimeNs == b.mtimeNs;
}

std::string RunFilePath(const std::string& journalPath, const std::string& run) {
  return journalPath + ".run-" + run;
}

std::vector<std::string> JournalFilePaths(FileSystem& disk, const std::string& journalPath) {
  std::vector<std::string> paths{journalPath, journalPath + ".lock"};
  for (const char* infix : {".seg-", ".run-"}) {
    for (std::string& path : FilesBeside(disk, journalPath, infix))
      paths.push_back(std::move(path));
  }
  return paths;
}

bool RunInProgress(FileSystem& disk, const std::string& journalPath, const JournalRun& run,
                   Error* failure) {
  if (!run.ended.empty() || run.dismissed) return false;
  Error error;
  const std::unique_ptr<OpenFile> file =
      disk.OpenOwn(RunFilePath(journalPath, run.id), OwnFileMode::kExisting, error);
  // The run holds a write lock on its run file while it lives; the kernel
  // drops it with the process, whatever its PID namespace.
  bool locked = false;
  if (file) error = file->LockedElsewhere(0, 0, locked);
  if (!file && error.number == kFileNotFound) return false;  // ended, its run file gone
  if (!error) return locked;
  if (failure != nullptr) *failure = error;
  return true;
}

bool JournalMayHoldInterruptedRuns(FileSystem& disk, const std::string& journalPath) {
  SegmentScans scans;
  return MayHoldInterruptedRuns(disk, journalPath, scans);
}

std::string DefaultJournalPath() {
  // With no home at all the journal still has a path; its first write reports
  // it.
  const std::string folder = StateFolder();
  return (folder.empty() ? std::string("/.local/state/velmora") : folder) + kPathSeparator +
         "journal";
}

}  // namespace velmora
