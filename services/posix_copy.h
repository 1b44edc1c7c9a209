// Copying one file's bytes, permissions and modification time into a new
// file that must not exist yet. Internal to the file-system service.
#pragma once

#include <string>

namespace velmora {

// Creates target exclusively and copies source into it; with flush the copy
// is on the disk before this returns. Returns 0 or the errno of the first
// failure, in which case no file is left at target.
int CopyFileExclusive(const std::string& source, const std::string& target, bool flush);

}  // namespace velmora
