// Whether a file found now is the very file a journal step recorded: size and
// modification time always, inode and file system too where the file system
// keeps inode numbers across remounts.
#pragma once

#include <cstdint>
#include <string>

#include "services/journal.h"

namespace velmora {

// Both known, size and mtime equal, and where recorded.inodeStable also inode
// and file system.
bool ProvesSame(const StepIdentity& recorded, const StepIdentity& now);

}  // namespace velmora
