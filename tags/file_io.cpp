#include "tags/file_io.h"

#include <unistd.h>

#include <cerrno>

#include "engine/error_numbers.h"

namespace velmora {

Error TagErrorFromErrno(int err) { return ErrorFromErrno(err, ErrnoUse::kTag); }

Error ReadExactly(int fd, char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t got = ::pread(fd, data, size, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return TagErrorFromErrno(errno);
    if (got == 0) return Error{kInputPastEnd, "input past end of file"};
    data += got, size -= static_cast<std::size_t>(got), offset += got;
  }
  return {};
}

Error WriteExactly(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t put = ::pwrite(fd, data, size, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return TagErrorFromErrno(errno);
    if (put == 0) return TagErrorFromErrno(ENOSPC);
    data += put, size -= static_cast<std::size_t>(put), offset += put;
  }
  return {};
}

}  // namespace velmora
