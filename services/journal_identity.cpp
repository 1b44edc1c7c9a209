// Where the journal lives, which file a step saw, and whether a run goes on.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "engine/path.h"
#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/own_file.h"

namespace velmora {

StepIdentity IdentityOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  FileSystemTraits traits;
  // A mount point is judged by the file system it is the root of.
  const bool found = FileSystemOf(S_ISDIR(st.st_mode) ? path : FolderOf(path), traits);
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
  std::vector<std::string> paths{journalPath, journalPath + ".lock"};
  for (const char* infix : {".seg-", ".run-"}) {
    for (std::string& path : FilesBeside(journalPath, infix)) paths.push_back(std::move(path));
  }
  return paths;
}

bool RunInProgress(const std::string& journalPath, const JournalRun& run) {
  if (!run.ended.empty() || run.dismissed) return false;
  int fd = -1;
  if (OpenOwnFile(RunFilePath(journalPath, run.id), O_RDONLY, 0600, fd)) return false;
  // The run holds a write lock on its run file while it lives; the kernel
  // drops it with the process, whatever its PID namespace.
  const bool locked = RangeLocked(fd, 0, 0);
  ::close(fd);
  return locked;
}

std::string DefaultJournalPath() {
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
    base = state;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* user = ::getpwuid(::geteuid());
      home = user != nullptr ? user->pw_dir : "";
    }
    base = std::string(home) + kPathSeparator + ".local" + kPathSeparator + "state";
  }
  return base + kPathSeparator + "velmora" + kPathSeparator + "journal";
}

}  // namespace velmora
