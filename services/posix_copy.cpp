#include "services/posix_copy.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

#include "engine/path.h"
#include "services/crash_guard.h"

namespace velmora {
namespace {

// Room left for ".", ".velmora-part-PID-N" within a 255-byte file name.
constexpr std::size_t kPartialNameKeep = 200;
// One kernel copy call at most this long, so a signal is served soon.
constexpr std::size_t kChunk = 16u << 20;
// From this size on the target name is checked before the bytes are copied.
constexpr off_t kCheckFirstSize = 1 << 20;

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

// The partial file, guarded from creation until it is published or gone.
struct Partial {
  std::string path;
  int guard = kNoGuard;
  bool published = false;
  ~Partial() {
    if (!published && !path.empty()) ::unlink(path.c_str());
    Unguard(guard);
  }
};

int WriteAllBytes(int out, const char* data, ssize_t size) {
  for (ssize_t written = 0; written < size;) {
    const ssize_t w = ::write(out, data + written, static_cast<std::size_t>(size - written));
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    written += w;
  }
  return 0;
}

// A clone shares the source's blocks (btrfs, XFS): no data is written. A
// device that refused once is not asked again, so ext4 pays no extra call per
// file; a clone missed that way is still a correct copy below.
bool Cloned(int in, const struct stat& source, int out) {
  static std::atomic<dev_t> refused{0};
  static std::atomic<bool> anyRefused{false};
  if (source.st_size == 0 || (anyRefused && refused == source.st_dev)) return false;
  if (::ioctl(out, FICLONE, in) == 0) return true;
  refused = source.st_dev;
  anyRefused = true;
  return false;
}

int CopyBytes(int in, int out, off_t size) {
  // The kernel's copy first; plain read and write where it is not offered.
  off_t done = 0;
  while (done < size) {
    const std::size_t want = static_cast<std::size_t>(size - done) < kChunk
                                 ? static_cast<std::size_t>(size - done)
                                 : kChunk;
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, want, 0);
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
    TestSignalPoint("copy");
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
    if (int err = WriteAllBytes(out, buffer.data(), n); err != 0) return err;
    TestSignalPoint("copy");
  }
}

// The rights of the copy: special bits only where the owner (and for
// set-gid the group) is still the source's, as cp -p does; otherwise root
// copying a user's set-uid program would hand out root's rights.
mode_t CopyMode(const struct stat& source, const struct stat& copy) {
  mode_t mode = source.st_mode & 07777;
  if (copy.st_uid != source.st_uid) mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID | S_ISVTX);
  if (copy.st_gid != source.st_gid) mode &= ~static_cast<mode_t>(S_ISGID);
  return mode;
}

int CopyInto(int in, const struct stat& st, Fd& out, CopyPurpose purpose) {
  if (Cloned(in, st, out.fd)) {
    TestSignalPoint("copy");
  } else if (int err = CopyBytes(in, out.fd, st.st_size); err != 0) {
    return err;
  }
  // A moved file stays its owner's where the system lets us; a refusal only
  // costs the special bits below.
  if (purpose == CopyPurpose::kMove) (void)::fchown(out.fd, st.st_uid, st.st_gid);
  // Only the special bits depend on who owns the copy.
  struct stat made {};
  made.st_uid = st.st_uid;
  made.st_gid = st.st_gid;
  if ((st.st_mode & (S_ISUID | S_ISGID | S_ISVTX)) != 0 && ::fstat(out.fd, &made) != 0) {
    return errno;
  }
  if (::fchmod(out.fd, CopyMode(st, made)) != 0) return errno;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out.fd, times) != 0) return errno;
  // A move deletes its source next: the copy must be on the disk first.
  if (purpose == CopyPurpose::kMove && ::fsync(out.fd) != 0) return errno;
  return 0;
}

// Creates the partial file exclusively, numbering past leftovers of an
// earlier process with the same id.
int CreatePartial(const std::string& target, Partial& partial, Fd& out) {
  for (int n = 0; n < 10; ++n) {
    const std::string path = PartialName(target, n);
    out.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    S_IRUSR | S_IWUSR);
    if (out.fd >= 0) {
      partial.path = path;
      partial.guard = GuardPartialFile(path);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

// getpid is a system call per copy; a forked child asks again.
pid_t OwnPid() {
  static std::atomic<pid_t> pid{0};
  static const int registered = ::pthread_atfork(nullptr, nullptr, [] { pid = 0; });
  (void)registered;
  if (pid == 0) pid = ::getpid();
  return pid;
}

// An unnamed file in target's folder (O_TMPFILE), which a crash leaves no
// trace of; -1 where the file system or /proc does not offer it, so the
// copy goes through a named partial file.
int CreateUnnamed(const std::string& target) {
  static const bool procFds = ::access("/proc/self/fd", X_OK) == 0;
  if (!procFds) return -1;
  const std::size_t nameStart = FileNameStart(target);
  const std::string folder = nameStart == 0 ? std::string(".") : target.substr(0, nameStart);
  return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR);
}

// Names the whole unnamed file; a link never replaces a file.
int PublishUnnamed(Fd& out, const std::string& target) {
  const std::string self = "/proc/self/fd/" + std::to_string(out.fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    return errno;
  }
  // A close that reports a lost write takes the copy back: it is this run's own.
  if (int err = out.Close(); err != 0) {
    ::unlink(target.c_str());
    return err;
  }
  return 0;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string PartialName(const std::string& target, int n) {
  const std::size_t nameStart = FileNameStart(target);
  std::string name = target.substr(nameStart);
  if (name.size() > kPartialNameKeep) {
    std::size_t cut = kPartialNameKeep;
    // Never inside a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  std::string path =
      target.substr(0, nameStart) + "." + name + ".velmora-part-" + std::to_string(OwnPid());
  if (n > 0) path += "-" + std::to_string(n);
  return path;
}

int PublishNoReplace(const std::string& partial, const std::string& target) {
  if (::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  if (::link(partial.c_str(), target.c_str()) == 0) {
    ::unlink(partial.c_str());
    return 0;
  }
  if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP && errno != EMLINK) return errno;
  // No links (exFAT, NTFS through FUSE): the name is checked just before.
  if (Exists(target)) return EEXIST;
  return ::rename(partial.c_str(), target.c_str()) == 0 ? 0 : errno;
}

int CopyFileExclusive(const std::string& source, const std::string& target, CopyPurpose purpose) {
  // Non-blocking: a FIFO put in the file's place must not hang the run.
  Fd in{::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (in.fd < 0) return errno;
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EISDIR;
  // A taken name is refused before a large file's bytes are copied; for a
  // small one publishing finds it soon enough, without a gap and without the
  // extra lstat per file.
  if (st.st_size >= kCheckFirstSize && Exists(target)) return EEXIST;

  Fd out{CreateUnnamed(target)};
  if (out.fd >= 0) {
    if (int err = CopyInto(in.fd, st, out, purpose); err != 0) return err;
    return PublishUnnamed(out, target);
  }
  Partial partial;
  if (int err = CreatePartial(target, partial, out); err != 0) return err;
  if (int err = CopyInto(in.fd, st, out, purpose); err != 0) return err;
  if (int err = out.Close(); err != 0) return err;
  if (int err = PublishNoReplace(partial.path, target); err != 0) return err;
  partial.published = true;
  return 0;
}

}  // namespace velmora
