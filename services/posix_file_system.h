// The file-system service on Linux: renames that never replace, copies that
// never overwrite and leave no half file (nor fill a hole, nor follow a
// link), moves across file systems by copy and delete, a run's folders
// opened once, folder listings, open files that never follow a link for
// writing, and errno turned into the program's error numbers. Also the small
// POSIX steps the other services share: writing a whole text and creating
// folders.
#pragma once

#include <sys/types.h>
#include <time.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_numbers.h"
#include "engine/file_system.h"
#include "services/mount_table.h"
#include "services/pinned_folders.h"

namespace velmora {

// Writes all of text to fd, retrying interrupted writes; the first failure
// otherwise.
Error WriteAll(int fd, std::string_view text);

// Creates folder and its missing parents with the given rights; the first
// failure otherwise (a part that already exists is no failure).
Error MakeFolders(const std::string& folder, mode_t mode);

// True for the mount types whose names ignore letter case.
bool IsCaselessFileSystemType(const std::string& type);

class PosixFileSystem : public FileSystem {
 public:
  // mountTable: a file in the format of /proc/self/mounts, read once when
  // first needed (tests pass their own). A new PosixFileSystem sees the
  // mounts as they are now.
  explicit PosixFileSystem(std::string mountTable = kMountTable);

  // Every path under a pinned folder is reached through its descriptors
  // (pinned_folders.h). A symbolic link is moved and copied as a link.
  Error PinFolder(const std::string& folder) override;
  void UnpinFolders() override;

  // While on, every folder ReadFolder reads is kept whole for the plan.
  // Turning it off drops what is kept.
  void KeepListingsForPlan(bool keep);
  // The kept listing of folder in the form of ListFolder, taken out: only
  // for a pinned folder itself, and only while the folder reached through
  // its pin is the one read and its names have not changed since; false,
  // and it is dropped, otherwise.
  bool TakeKeptListing(const std::string& folder, std::vector<FolderItem>& items);

  Error GetFile(const std::string& path) override;
  Error GetFile(const std::string& path, std::optional<FileIdentity>& identity) override;
  Error Move(const std::string& source, const std::string& target) override;
  Error Copy(const std::string& source, const std::string& target) override;
  Error CopyAndIdentify(const std::string& source, const std::string& target,
                        std::optional<FileIdentity>& made) override;
  Error Delete(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  bool HasEntrySpelled(const std::string& path) override;

  // "NAME.velmora-move-PID" beside path. While held, a fatal signal moves
  // the file back to original (crash_guard.h).
  std::string TemporaryName(const std::string& path) override;
  void HoldTemporary(const std::string& temp, const std::string& original) override;
  void ReleaseTemporary(const std::string& temp) override;

  // posix_listing.cpp
  FolderListing ReadFolder(const std::string& folder) override;
  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override;
  PathKind Probe(const std::string& path) override;
  // From the folder's case-folding flag (ext4, f2fs), else from the type of
  // the mount that holds its real path (vfat, exfat, ntfs, smb); false when
  // neither can be told.
  bool IgnoresCase(const std::string& folder) override;
  // Device, inode, size and modification time of the entry itself.
  bool Identify(const std::string& path, FileIdentity& identity) override;
  // From the mount that holds the folder's real path; a device is read at
  // most once.
  FileSystemKind FolderKind(const std::string& folder) override;

  // posix_open_file.cpp
  std::unique_ptr<OpenFile> Open(const std::string& path, OpenMode mode, Error& error) override;
  // "NAME.velmora-tag-XXXXXX" beside path, removed by a fatal signal.
  std::unique_ptr<OpenFile> CreateBeside(const std::string& path, std::string& created,
                                         Error& error) override;
  Error ReplaceWith(const std::string& source, const std::string& target) override;
  // Through OpenOwnFile (own_file.h); failures numbered as for whole files.
  std::unique_ptr<OpenFile> OpenOwn(const std::string& path, OwnFileMode mode,
                                    Error& error) override;
  bool IdentifyFileSystem(const std::string& folder, FileSystemIdentity& id) override;

 private:
  const std::vector<MountEntry>& Mounts();
  // A folder's listing as ReadFolder read it, with what the folder looked
  // like then: its identity and the times any change to its names sets.
  struct KeptListing {
    std::vector<FolderItem> items;
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};
  };

  std::string mountTable_;
  bool mountsRead_ = false;
  std::vector<MountEntry> mounts_;
  std::map<std::string, FileSystemKind> kinds_;  // by mount point
  PinnedFolders pins_;
  bool keepListings_ = false;
  std::map<std::string, KeptListing> kept_;  // by folder with its trailing separator
};

}  // namespace velmora
