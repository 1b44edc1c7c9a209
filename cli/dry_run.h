// --dry-run: the steps a run would make if every question were answered
// "&Ja", found by letting the engine's own run (RunCommand, with its
// operation dispatch, slot chaining and numbering) walk over a file system
// that only pretends to change the disk. Nothing on disk is touched and no
// log is written.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/file_system.h"

namespace velmora::cli {

struct PlannedStep {
  std::string source;
  std::string destination;
};

// The steps of a kind run of job over the marked entries of found, copy and
// move going into destPath (ending in the separator). Operation failures go
// to reporter. Checking the slots is the caller's business.
std::vector<PlannedStep> DryRunSteps(RunKind kind, const RenameJob& job,
                                     const std::vector<FoundEntry>& found,
                                     const std::string& destPath, ErrorReporter& reporter,
                                     MessageSink& messages);

// The disk as it would be: reads the real disk, keeps every change in
// memory. A file moved away is gone under every name of it, so a rename
// that only changes letter case on a file system that ignores case finds
// its target free, as it is for the real run.
class DryFileSystem : public FileSystem {
 public:
  Error GetFile(const std::string& path) override;
  Error Move(const std::string& source, const std::string& target) override;
  Error Copy(const std::string& source, const std::string& target) override;
  Error Delete(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;

 private:
  struct FileId {
    unsigned long long device;
    unsigned long long inode;
    bool operator<(const FileId& other) const {
      return device != other.device ? device < other.device : inode < other.inode;
    }
  };
  bool IsFile(const std::string& path) const;      // a file, as GetFile sees it
  bool IsOccupied(const std::string& path) const;  // anything at path
  bool RealEntry(const std::string& path, bool follow, FileId& id, bool& regular) const;
  void Remove(const std::string& path);

  std::set<std::string> added_;  // paths made by pretended moves and copies
  std::set<FileId> gone_;        // real files pretended away
};

}  // namespace velmora::cli
