// Whole reads and writes at an offset of an open file, and the error number
// of a failed system call, shared by the two tag writers.
#pragma once

#include <sys/types.h>

#include <cstddef>

#include "engine/error_reporter.h"

namespace velmora {

// The error for errno value err as a tag file reads it (ErrnoUse::kTag).
Error TagErrorFromErrno(int err);

// Reads exactly size bytes at offset; running into the end of the file is
// error 62.
Error ReadExactly(int fd, char* data, std::size_t size, off_t offset);

// Writes exactly size bytes at offset; a write that takes nothing counts as
// a full disk.
Error WriteExactly(int fd, const char* data, std::size_t size, off_t offset);

}  // namespace velmora
