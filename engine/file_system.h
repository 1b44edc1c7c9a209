// The one door to the disk for moving, copying and deleting whole files. The
// run, undo and the log preparation go through it; tests put an in-memory
// fake in its place. Drives (mounted file systems) are listed by the search
// side's DriveInfo.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/error_numbers.h"

namespace velmora {

// One mounted file system, standing in for a drive: its mount folder and
// whether it can be read right now.
struct Drive {
  std::string path;
  bool ready = false;
};

// Which file lies at a path: what a later look must find again to be sure it
// is still the same file.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds
  bool operator==(const FileIdentity&) const = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Succeeds when a file (not a folder) exists at path; kFileNotFound otherwise.
  virtual Error GetFile(const std::string& path) = 0;
  // The same, and identity is the entry's own (a link is not followed) when
  // the look told it: the journal then needs no look of its own.
  virtual Error GetFile(const std::string& path, std::optional<FileIdentity>& /*identity*/) {
    return GetFile(path);
  }

  // Gives the file at source the path target, across folders and file
  // systems. Never replaces: kFileExists when target exists, kFileNotFound when source
  // is missing.
  // On failure source is unchanged and nothing new exists at target.
  virtual Error Move(const std::string& source, const std::string& target) = 0;

  // Copies the file at source to target, keeping permissions and modification
  // time. Never overwrites: kFileExists when target exists. On failure no file is left
  // at target.
  virtual Error Copy(const std::string& source, const std::string& target) = 0;

  // Removes the file at path; kFileNotFound when there is none.
  virtual Error Delete(const std::string& path) = 0;

  // True when both paths name one and the same file (same device and inode),
  // whatever their spelling; false when either does not exist.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;

  // True when the folder of path holds an entry spelled exactly like path's
  // name, as opposed to one that only answers to that spelling (a file
  // system that ignores case). Without a way to tell, any file that path
  // reaches counts.
  virtual bool HasEntrySpelled(const std::string& path) { return !GetFile(path); }

  // A visible name beside path under which a rename holds the file between
  // two moves ("NAME.velmora-move-PID" on disk).
  virtual std::string TemporaryName(const std::string& path) { return path + ".velmora-move"; }

  // While held, a crash handler moves the file at temp back to original;
  // a rename temporary is never deleted.
  virtual void HoldTemporary(const std::string& /*temp*/, const std::string& /*original*/) {}
  virtual void ReleaseTemporary(const std::string& /*temp*/) {}
};

}  // namespace velmora
