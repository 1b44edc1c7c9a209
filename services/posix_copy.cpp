#include "services/posix_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace velmora {
namespace {

// Closes a descriptor once, keeping the first error.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  int Close() {
    const int result = ::close(fd);
    fd = -1;
    return result == 0 ? 0 : errno;
  }
};

int CopyBytes(int in, int out, off_t size) {
  // The kernel's copy first; plain read and write where it is not offered.
  off_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(size - done), 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (done == 0 &&
          (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        break;
      }
      return errno;
    }
    if (n == 0) break;  // the file shrank, or a file system reporting 0
    done += n;
  }
  if (done == size && size > 0) return 0;
  // copy_file_range moved both offsets; read and write take any rest.
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    for (ssize_t written = 0; written < n;) {
      const ssize_t w =
          ::write(out, buffer.data() + written, static_cast<std::size_t>(n - written));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      written += w;
    }
  }
}

int CopyInto(int in, const struct stat& st, Fd& out, bool flush) {
  if (int err = CopyBytes(in, out.fd, st.st_size); err != 0) return err;
  if (::fchmod(out.fd, st.st_mode & 07777) != 0) return errno;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out.fd, times) != 0) return errno;
  if (flush && ::fsync(out.fd) != 0) return errno;
  return out.Close();
}

}  // namespace

int CopyFileExclusive(const std::string& source, const std::string& target, bool flush) {
  Fd in{::open(source.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return errno;
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EISDIR;

  Fd out{::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR)};
  if (out.fd < 0) return errno;
  const int err = CopyInto(in.fd, st, out, flush);
  if (err != 0) {
    // Ours alone (created exclusively): no half file stays under the new name.
    if (out.fd >= 0) out.Close();
    ::unlink(target.c_str());
  }
  return err;
}

}  // namespace velmora
