// Whether a file found now is the very file a journal step recorded: size and
// modification time always, inode and file system too where the file system
// keeps inode numbers across remounts.
#pragma once

#include <cstdint>
#include <string>

#include "services/journal.h"

namespace velmora {

// Sets id.fsid and id.inodeStable for the file system of the file at path,
// whose lstat gave device. One statfs per file system and process.
void AddFileSystemIdentity(const std::string& path, std::uint64_t device, StepIdentity& id);

// Both known, size and mtime equal, and where recorded.inodeStable also inode
// and file system.
bool ProvesSame(const StepIdentity& recorded, const StepIdentity& now);

}  // namespace velmora
