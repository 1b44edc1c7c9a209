// The file-system service on Linux: renames that never replace, copies that
// never overwrite and leave no half file, moves across file systems by copy
// and delete, and errno turned into the program's error numbers. Also the
// small POSIX steps the other services share: writing a whole text and
// creating folders.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "engine/error_numbers.h"
#include "engine/file_system.h"

namespace velmora {

// Writes all of text to fd, retrying interrupted writes; the first failure
// otherwise.
Error WriteAll(int fd, std::string_view text);

// Creates folder and its missing parents with the given rights; the first
// failure otherwise (a part that already exists is no failure).
Error MakeFolders(const std::string& folder, mode_t mode);

class PosixFileSystem : public FileSystem {
 public:
  Error GetFile(const std::string& path) override;
  Error GetFile(const std::string& path, std::optional<FileIdentity>& identity) override;
  Error Move(const std::string& source, const std::string& target) override;
  Error Copy(const std::string& source, const std::string& target) override;
  Error Delete(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  bool HasEntrySpelled(const std::string& path) override;

  // "NAME.velmora-move-PID" beside path. While held, a fatal signal moves
  // the file back to original (crash_guard.h).
  std::string TemporaryName(const std::string& path) override;
  void HoldTemporary(const std::string& temp, const std::string& original) override;
  void ReleaseTemporary(const std::string& temp) override;
};

}  // namespace velmora
