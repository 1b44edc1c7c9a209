// The file-system service on Linux: renames that never replace, copies that
// never overwrite and leave no half file, moves across file systems by copy
// and delete, and errno turned into the program's error numbers.
#pragma once

#include <string>

#include "engine/file_system.h"

namespace velmora {

// The error for errno value err, with the platform's description: ENOENT 53,
// EEXIST 58, ENOSPC 61, EACCES/EPERM 70, EROFS 75, EIO 57, ENOTDIR 76,
// ENAMETOOLONG 52, EXDEV 74, others as nearest.
Error ErrorFromErrno(int err);

class PosixFileSystem : public FileSystem {
 public:
  Error GetFile(const std::string& path) override;
  Error Move(const std::string& source, const std::string& target) override;
  Error Copy(const std::string& source, const std::string& target) override;
  Error Delete(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
};

}  // namespace velmora
