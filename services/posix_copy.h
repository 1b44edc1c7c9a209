// Copying one file's bytes, permissions and modification time to a name that
// must not exist yet. The bytes go into an unnamed file in the target's
// folder (O_TMPFILE) or, where there is none, a partial file beside the
// target (".NAME.velmora-part-PID", guarded against signals); either takes
// the final name only when complete and never over another file, so a copy
// appears whole or not at all. Holes stay holes, and a symbolic link is
// copied as a link with the same target, never read through. Internal to
// the file-system service.
#pragma once

#include <sys/stat.h>

#include <string>

#include "engine/file_system.h"
#include "services/pinned_folders.h"

namespace velmora {

enum class CopyPurpose {
  kCopy,  // a new file of the user who copies
  kMove,  // the second half of a move: the owner is kept where allowed, and
          // the bytes are on the disk before this returns
};

// The partial file's name for target, with attempt n > 0 numbered.
std::string PartialName(const std::string& target, int n);

// Copies source to target. Set-uid, set-gid and sticky bits stay only where
// the copy keeps the owner (and, for set-gid, the group). Returns 0 or the
// errno of the first failure, in which case no file is left at target and
// no partial file remains. On success a copied file's identity goes to made
// where given (a link copied as a link leaves it alone).
int CopyFileExclusive(const FolderPlace& source, const FolderPlace& target, CopyPurpose purpose,
                      FileIdentity* made = nullptr);

FileIdentity IdentityOfStat(const struct stat& st);

// Gives partial the name target, both in dir, without ever replacing a file:
// a no-replace rename, else a link, else (file systems without links)
// check, then rename.
int PublishNoReplace(int dir, const std::string& partial, const char* target);

}  // namespace velmora
