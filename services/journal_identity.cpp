// Where the journal lives, which file a step saw, and whether a run goes on.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string_view>

#include "engine/path.h"
#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"

namespace velmora {

StepIdentity IdentityOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  FileSystemTraits traits;
  // A mount point is judged by the file system it is the root of.
  const bool found = FileSystemOf(S_ISDIR(st.st_mode) ? path : JournalFolderOf(path), traits);
  return {true,
          static_cast<std::int64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          static_cast<std::uint64_t>(st.st_dev),
          static_cast<std::uint64_t>(st.st_ino),
          traits.fsid,
          found && traits.inodeStable};
}

bool SameIdentity(const StepIdentity& a, const StepIdentity& b) {
  return a.known && b.known && a.size == b.size && a.mtimeNs == b.mtimeNs;
}

std::string RunFilePath(const std::string& journalPath, const std::string& run) {
  return journalPath + ".run-" + run;
}

std::vector<std::string> JournalFilePaths(const std::string& journalPath) {
  PosixFileSystem disk;
  std::vector<std::string> paths{journalPath, journalPath + ".lock"};
  for (const char* infix : {".seg-", ".run-"}) {
    for (std::string& path : FilesBeside(disk, journalPath, infix))
      paths.push_back(std::move(path));
  }
  return paths;
}

bool RunInProgress(FileSystem& disk, const std::string& journalPath, const JournalRun& run) {
  if (!run.ended.empty() || run.dismissed) return false;
  Error error;
  const std::unique_ptr<OpenFile> file =
      disk.OpenOwn(RunFilePath(journalPath, run.id), OwnFileMode::kExisting, error);
  // The run holds a write lock on its run file while it lives; the kernel
  // drops it with the process, whatever its PID namespace.
  return file && file->LockedElsewhere(0, 0);
}

bool RunInProgress(const std::string& journalPath, const JournalRun& run) {
  PosixFileSystem disk;
  return RunInProgress(disk, journalPath, run);
}

namespace {

// Runs begun in text and neither ended nor dismissed, by a look at the
// letters only: checksums and the other records are the reader's.
void OpenRuns(std::string_view text, std::set<std::string>& open) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() < 3 || line[1] != '\t') continue;
    const std::string run(line.substr(2, line.find('\t', 2) - 2));
    if (line[0] == 'B') open.insert(run);
    if (line[0] == 'E' || line[0] == 'X') open.erase(run);
  }
}

}  // namespace

bool JournalMayHoldInterruptedRuns(const std::string& journalPath) {
  PosixFileSystem disk;
  std::set<std::string> open;
  std::vector<std::string> segments = SegmentPaths(disk, journalPath);
  segments.push_back(journalPath);
  for (const std::string& segment : segments) {
    std::string text;
    bool missing = false;
    if (!ReadOwnFile(disk, segment, text, missing)) OpenRuns(text, open);
  }
  return !open.empty();
}

std::string DefaultJournalPath() {
  // With no home at all the journal still has a path; its first write reports
  // it.
  const std::string folder = StateFolder();
  return (folder.empty() ? std::string("/.local/state/velmora") : folder) + kPathSeparator +
         "journal";
}

}  // namespace velmora
