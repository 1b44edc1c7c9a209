#include "tags/file_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velmora {

Error TagErrorFromErrno(int err) {
  int number = 75;  // path/file access error
  switch (err) {
    case ENOENT: number = 53; break;
    case ENOTDIR: number = 76; break;
    case EACCES: case EPERM: case EROFS: case ETXTBSY: case EBUSY: number = 70; break;
    case ENOSPC: case EDQUOT: case EFBIG: number = 61; break;
    case EIO: number = 57; break;
    case EMFILE: case ENFILE: number = 67; break;
    case ENAMETOOLONG: number = 52; break;
    case ENXIO: case ENODEV: number = 68; break;
    default: break;
  }
  return Error{number, std::strerror(err)};
}

Error ReadExactly(int fd, char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t got = ::pread(fd, data, size, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return TagErrorFromErrno(errno);
    if (got == 0) return Error{62, "input past end of file"};
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
