// The one door to the disk: moving, copying and deleting whole files for the
// run, undo and the log preparation; listing folders for the plan, the
// folder and file lists and the search; and open files for the tag writers.
// Tests put an in-memory fake in its place. Drives (mounted file systems)
// are listed by the search side's DriveInfo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/error_numbers.h"
#include "engine/name_list.h"
#include "engine/path.h"

namespace velmora {

// One mounted file system, standing in for a drive: its mount folder and
// whether it can be read right now.
struct Drive {
  std::string path;
  bool ready = false;
};

// What lies at a path.
enum class PathKind { kNone, kFile, kOther };

// One name in a folder as the plan lists it.
struct FolderItem {
  std::string name;
  bool file = false;  // a file as FileSystem::GetFile sees it
};

// One folder as the folder list, the file list and the search read it.
// Hidden entries (names beginning with ".") are left out; links to files
// count as files; links to folders are neither listed nor entered, so a link
// loop cannot trap the search.
struct FolderListing {
  Error error;                          // the folder could not be opened
  std::vector<std::string> subFolders;  // names, sorted by NameLess
  NameList files;                       // names, in no particular order
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

// An open file's identity with what a new copy of it must keep.
struct FileStamp {
  FileIdentity identity;
  std::uint32_t mode = 0;  // permission bits
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::uint64_t links = 1;  // names the file has (hard links)
};

// kRead follows a symbolic link; the others refuse one. None creates or
// truncates, and anything but a regular file is refused.
enum class OpenMode { kRead, kReadNoFollow, kReadWrite };

// A regular file opened by FileSystem::Open. Failures are numbered as for a
// file changed in place (ErrnoUse::kTag).
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  virtual Error Stamp(FileStamp& stamp) = 0;
  // Exactly size bytes at offset; running into the end is kInputPastEnd.
  virtual Error ReadAt(std::int64_t offset, char* data, std::size_t size) = 0;
  // Exactly size bytes at offset; a write that takes nothing counts as a
  // full disk.
  virtual Error WriteAt(std::int64_t offset, const char* data, std::size_t size) = 0;
  virtual Error Truncate(std::int64_t size) = 0;
  // The modification time in nanoseconds; the access time stays.
  virtual Error SetModified(std::int64_t modified) = 0;
  // For a new file about to take original's place (stamped as stamp): owner
  // and group first (a failure stops, as a change of owner clears the
  // set-user-ID bit), then original's ACL or none and its permission bits,
  // then its extended attributes.
  virtual Error KeepAttributes(OpenFile& original, const FileStamp& stamp) = 0;
  // Where data lies at or after offset in a file of size bytes: [start, end),
  // start == size when only a hole is left. Without a way to tell, all data.
  virtual Error NextData(std::int64_t offset, std::int64_t size, std::int64_t& start,
                         std::int64_t& end) {
    start = offset;
    end = size;
    return {};
  }
  // The file's first size bytes mapped read-only, valid until the file is
  // closed or destroyed; null where that cannot be done, and the caller
  // reads instead.
  virtual const char* MapForReading(std::int64_t /*size*/) { return nullptr; }
  virtual Error Sync() = 0;
  // A failing close can mean that written bytes did not land.
  virtual Error Close() = 0;

  // Open-file-description locks on length bytes from start (0: to the end
  // and beyond), the journal's one lock family. Lock waits for the range
  // when wait is set; otherwise a range held elsewhere fails (EAGAIN's
  // number). LockedElsewhere sets locked when another open file holds a
  // lock that would keep an exclusive one out; a failed test is an error,
  // never a free range. Without locks every lock is granted.
  virtual Error Lock(std::int64_t /*start*/, std::int64_t /*length*/, bool /*exclusive*/,
                     bool /*wait*/) {
    return {};
  }
  virtual void Unlock(std::int64_t /*start*/, std::int64_t /*length*/) {}
  virtual Error LockedElsewhere(std::int64_t /*start*/, std::int64_t /*length*/, bool& locked) {
    locked = false;
    return {};
  }
};

// How the program opens a file of its own (the journal and the files beside it).
enum class OwnFileMode {
  kExisting,   // it must exist
  kCreate,     // created when missing
  kCreateNew,  // created; kFileExists when it exists
};

// The file system holding a folder, as the journal records it.
struct FileSystemIdentity {
  std::uint64_t fsid = 0;    // statfs f_fsid: it survives a reboot and a re-plug
  bool inodeStable = false;  // inode numbers last (not vfat, exFAT, NTFS, FUSE, overlayfs)
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
  // The same, and made is the copy's identity as it was made, when the copy
  // could tell it: the journal then needs no look of its own.
  virtual Error CopyAndIdentify(const std::string& source, const std::string& target,
                                std::optional<FileIdentity>& /*made*/) {
    return Copy(source, target);
  }

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

  // The visible sub-folders and files of folder; on failure an empty listing
  // whose error carries the number and the platform's text.
  virtual FolderListing ReadFolder(const std::string& folder) = 0;

  // For the plan: every name in folder (ending in the separator), hidden ones
  // included. Returns false when the folder cannot be listed.
  virtual bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) = 0;

  // What lies at path; the plan asks only inside folders it cannot list.
  virtual PathKind Probe(const std::string& path) = 0;

  // True when the file system holding folder ignores letter case.
  virtual bool IgnoresCase(const std::string& /*folder*/) { return false; }

  // The file at path itself (a link is not followed); false when there is
  // none or it cannot be told.
  virtual bool Identify(const std::string& /*path*/, FileIdentity& /*identity*/) { return false; }

  // The kind of file system holding folder, for the names it refuses;
  // kUnknown when it cannot be told.
  virtual FileSystemKind FolderKind(const std::string& /*folder*/) {
    return FileSystemKind::kUnknown;
  }

  // The regular file at path, opened as mode says; null with error set
  // otherwise (a refused link is kPathFileAccess).
  virtual std::unique_ptr<OpenFile> Open(const std::string& path, OpenMode mode, Error& error) = 0;

  // A new empty file beside path under a name of its own that says what it is
  // (created), open for reading and writing; a signal that ends the process
  // removes it until it is closed. Null with error set otherwise.
  virtual std::unique_ptr<OpenFile> CreateBeside(const std::string& path, std::string& created,
                                                 Error& error) = 0;

  // Gives the file at source the path target, replacing the file there, and
  // makes the change last (the folder is synced).
  virtual Error ReplaceWith(const std::string& source, const std::string& target) = 0;

  // A file of the program's own at path, for reading and writing: never
  // through a symbolic link, never blocking, only a regular file of the
  // effective user, created with the user's rights alone as mode says. Null
  // with error set otherwise.
  virtual std::unique_ptr<OpenFile> OpenOwn(const std::string& path, OwnFileMode mode,
                                            Error& error) = 0;

  // The file system holding folder; false when it cannot be told.
  virtual bool IdentifyFileSystem(const std::string& /*folder*/, FileSystemIdentity& /*id*/) {
    return false;
  }
  // Pinned folders. A run opens the searched folder and the destination once
  // (links on the way to them followed) and works through them until
  // UnpinFolders: below a pinned folder no link to a folder is followed, and
  // a folder replaced since it was listed or first opened is never entered;
  // the call fails instead, naming the folder. Without pins, paths are taken
  // as they are.
  virtual Error PinFolder(const std::string& /*folder*/) { return {}; }
  virtual void UnpinFolders() {}
};

}  // namespace velmora
