#include "services/posix_copy.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
  int dir = AT_FDCWD;
  std::string path;  // relative to dir
  int guard = kNoGuard;
  bool published = false;
  ~Partial() {
    if (!published && !path.empty()) ::unlinkat(dir, path.c_str(), 0);
    Unguard(guard);
  }
};

int WriteAllBytes(int out, const char* data, ssize_t size, off_t offset) {
  for (ssize_t written = 0; written < size;) {
    const ssize_t w =
        ::pwrite(out, data + written, static_cast<std::size_t>(size - written), offset + written);
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

// length bytes at offset, the kernel's copy first; plain read and write
// where it is not offered (kernelCopy is then cleared for the rest).
int CopyRange(int in, int out, off_t offset, off_t length, bool& kernelCopy) {
  std::vector<char> buffer;
  for (off_t done = 0; done < length;) {
    const std::size_t want = static_cast<std::size_t>(std::min<off_t>(length - done, kChunk));
    off_t from = offset + done, to = from;
    ssize_t n = -1;
    if (kernelCopy) {
      n = ::copy_file_range(in, &from, out, &to, want, 0);
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        kernelCopy = false;
        continue;
      }
    } else {
      buffer.resize(std::min<std::size_t>(want, 1 << 16));
      n = ::pread(in, buffer.data(), buffer.size(), from);
      if (n > 0) {
        if (int err = WriteAllBytes(out, buffer.data(), n, to); err != 0) return err;
      }
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;  // the file shrank
    done += n;
    TestSignalPoint("copy");
  }
  return 0;
}

// Only the data regions are copied; the size set at the end leaves every
// hole a hole, as cp does. Where the file system cannot tell the regions,
// the whole file counts as data.
int CopyBytes(int in, const struct stat& source, int out) {
  const off_t size = source.st_size;
  bool kernelCopy = true;
  // Blocks for every byte: no hole to look for.
  if (source.st_blocks * 512 >= size) return CopyRange(in, out, 0, size, kernelCopy);
  for (off_t at = 0; at < size;) {
    off_t data = ::lseek(in, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) break;  // a hole up to the end
    off_t hole = data < 0 ? size : ::lseek(in, data, SEEK_HOLE);
    if (data < 0) data = at;
    if (hole < 0 || hole > size) hole = size;
    if (int err = CopyRange(in, out, data, hole - data, kernelCopy); err != 0) return err;
    at = hole;
  }
  while (::ftruncate(out, size) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
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

// made is the copy as finished: its identity is what a done record needs,
// taken from the descriptor rather than by name after it closed.
int CopyInto(int in, const struct stat& st, Fd& out, CopyPurpose purpose, struct stat& made) {
  if (Cloned(in, st, out.fd)) {
    TestSignalPoint("copy");
  } else if (int err = CopyBytes(in, st, out.fd); err != 0) {
    return err;
  }
  // A moved file stays its owner's where the system lets us; a refusal only
  // costs the special bits below.
  if (purpose == CopyPurpose::kMove && ::fchown(out.fd, st.st_uid, st.st_gid) != 0) {
    // Refused: the copy is the mover's, and keeps no special bits (below).
  }
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out.fd, times) != 0) return errno;
  if (::fstat(out.fd, &made) != 0) return errno;
  // The file was made with the source's rights where the umask or a default
  // ACL let it; only a difference costs a change (which keeps the times).
  const mode_t mode = CopyMode(st, made);
  if ((made.st_mode & 07777) != mode) {
    if (::fchmod(out.fd, mode) != 0) return errno;
    made.st_mode = (made.st_mode & ~static_cast<mode_t>(07777)) | mode;
  }
  // A move deletes its source next: the copy must be on the disk first.
  if (purpose == CopyPurpose::kMove && ::fsync(out.fd) != 0) return errno;
  return 0;
}

// Creates the partial file exclusively beside target, numbering past
// leftovers of an earlier process with the same id.
int CreatePartial(const FolderPlace& target, Partial& partial, Fd& out) {
  for (int n = 0; n < 10; ++n) {
    const std::string path = PartialName(std::string(target.name.view()), n);
    out.fd = ::openat(target.dir, path.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (out.fd >= 0) {
      partial.dir = target.dir;
      partial.path = path;
      partial.guard = GuardPartialFile(path, target.dir);
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
// Made with the source's rights (no special bits): nobody can open it by
// name, and a copy whose rights come out right needs no fchmod.
int CreateUnnamed(const FolderPlace& target, mode_t mode) {
  static const bool procFds = ::access("/proc/self/fd", X_OK) == 0;
  if (!procFds) return -1;
  const std::size_t nameStart = FileNameStart(target.name.view());
  if (nameStart == 0) return ::openat(target.dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  const std::string folder(target.name.view().substr(0, nameStart));
  return ::openat(target.dir, folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

// Links the unnamed file under name: by its descriptor where the kernel
// allows it (Linux 6.10 for the file's own opener), else through /proc.
int LinkUnnamed(int fd, int dir, const char* name) {
  static std::atomic<bool> byDescriptor{true};
  if (byDescriptor && ::linkat(fd, "", dir, name, AT_EMPTY_PATH) == 0) return 0;
  if (byDescriptor && errno != ENOENT && errno != EPERM && errno != EINVAL) return errno;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), dir, name, AT_SYMLINK_FOLLOW) != 0) return errno;
  byDescriptor = false;
  return 0;
}

// Names the whole unnamed file; a link never replaces a file.
int PublishUnnamed(Fd& out, const FolderPlace& target) {
  if (int err = LinkUnnamed(out.fd, target.dir, target.name.c_str()); err != 0) return err;
  // A close that reports a lost write takes the copy back: it is this run's own.
  if (int err = out.Close(); err != 0) {
    ::unlinkat(target.dir, target.name.c_str(), 0);
    return err;
  }
  return 0;
}

bool Exists(int dir, const char* name) {
  struct stat st {};
  return ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// A link is copied as a link to the same target (cp -P); creating one never
// replaces a name. A moved link keeps its owner where the system lets it.
int CopyLink(const FolderPlace& source, const FolderPlace& target, CopyPurpose purpose) {
  struct stat st {};
  if (::fstatat(source.dir, source.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (!S_ISLNK(st.st_mode)) return EAGAIN;  // replaced meanwhile: no copy of a moving file
  std::string to(static_cast<std::size_t>(st.st_size) + 1, '\0');
  const ssize_t n = ::readlinkat(source.dir, source.name.c_str(), to.data(), to.size());
  if (n < 0) return errno;
  if (static_cast<std::size_t>(n) >= to.size()) return EAGAIN;  // changed meanwhile
  to.resize(static_cast<std::size_t>(n));
  if (::symlinkat(to.c_str(), target.dir, target.name.c_str()) != 0) return errno;
  if (purpose == CopyPurpose::kMove &&
      ::fchownat(target.dir, target.name.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW) != 0) {
    // Refused: the link is the mover's; a link has no rights of its own.
  }
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  (void)::utimensat(target.dir, target.name.c_str(), times, AT_SYMLINK_NOFOLLOW);
  return 0;
}

}  // namespace

FileIdentity IdentityOfStat(const struct stat& st) {
  return FileIdentity{
      static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
      static_cast<std::int64_t>(st.st_size),
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

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

int PublishNoReplace(int dir, const std::string& partial, const char* target) {
  const char* from = partial.c_str();
  const char* to = target;
  if (::renameat2(dir, from, dir, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  if (::linkat(dir, from, dir, to, 0) == 0) {
    ::unlinkat(dir, from, 0);
    return 0;
  }
  if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP && errno != EMLINK) return errno;
  // No links (exFAT, NTFS through FUSE): the name is checked just before.
  if (Exists(dir, to)) return EEXIST;
  return ::renameat(dir, from, dir, to) == 0 ? 0 : errno;
}

int CopyFileExclusive(const FolderPlace& source, const FolderPlace& target, CopyPurpose purpose,
                      FileIdentity* made) {
  // Non-blocking: a FIFO put in the file's place must not hang the run. A
  // link is never opened, so nothing is read through one.
  Fd in{::openat(source.dir, source.name.c_str(),
                 O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC)};
  if (in.fd < 0) return errno == ELOOP ? CopyLink(source, target, purpose) : errno;
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EISDIR;
  // A taken name is refused before a large file's bytes are copied; for a
  // small one publishing finds it soon enough, without a gap and without the
  // extra lstat per file.
  if (st.st_size >= kCheckFirstSize && Exists(target.dir, target.name.c_str())) return EEXIST;

  struct stat copy {};
  Fd out{CreateUnnamed(target, st.st_mode & 0777)};
  if (out.fd >= 0) {
    if (int err = CopyInto(in.fd, st, out, purpose, copy); err != 0) return err;
    if (int err = PublishUnnamed(out, target); err != 0) return err;
  } else {
    Partial partial;
    if (int err = CreatePartial(target, partial, out); err != 0) return err;
    if (int err = CopyInto(in.fd, st, out, purpose, copy); err != 0) return err;
    if (int err = out.Close(); err != 0) return err;
    if (int err = PublishNoReplace(target.dir, partial.path, target.name.c_str()); err != 0)
      return err;
    partial.published = true;
  }
  // Naming and closing change neither inode, size nor modification time.
  if (made != nullptr) *made = IdentityOfStat(copy);
  return 0;
}

}  // namespace velmora
