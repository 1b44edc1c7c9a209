#include "services/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/path.h"
#include "services/crash_guard.h"
#include "services/posix_copy.h"

namespace velmora {
namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// What a taken target is, links followed: 0 for a file, else EISDIR for a
// folder and EEXIST for anything else.
int TargetKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return EEXIST;
  if (S_ISREG(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
}

// link() failures that mean the file system has no hard links at all.
bool NoHardLinks(int err) { return err == EPERM || err == ENOTSUP || err == ENOSYS; }

// renameat2 with RENAME_NOREPLACE; where the file system refuses the flag,
// link then unlink, which cannot replace either. Where it has hard links
// neither (exFAT through FUSE), look first and rename then, as mv -n does:
// nothing better exists there, and nowhere else is the gap taken.
int RenameNoReplace(const std::string& source, const std::string& target) {
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  if (::link(source.c_str(), target.c_str()) != 0) {
    if (!NoHardLinks(errno)) return errno;
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return ::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno;
  }
  if (::unlink(source.c_str()) != 0) {
    const int err = errno;
    ::unlink(target.c_str());
    return err;
  }
  return 0;
}

// Into another file system: a complete, flushed copy first; the source goes
// only after that. If the source cannot go, the copy goes instead, so a
// failed move leaves things as they were.
int MoveAcross(const std::string& source, const std::string& target) {
  const int err = CopyFileExclusive(source, target, CopyPurpose::kMove);
  if (err != 0) return err;
  if (::unlink(source.c_str()) != 0) {
    const int unlinkErr = errno;
    ::unlink(target.c_str());
    return unlinkErr;
  }
  return 0;
}

// ENOENT with an existing source means the target's folder is missing: "path
// not found", described as what it is. A folder (or anything else that is no
// file) in the target's place is not a file to overwrite: an access error,
// never 58.
Error Failure(int err, const std::string& source, const std::string& target) {
  if (err == ENOENT && Exists(source)) {
    return {kPathNotFound, std::strerror(ENOENT)};
  }
  if (err == EEXIST) {
    const int kind = TargetKind(target);
    if (kind != 0) return {kPathFileAccess, std::strerror(kind)};
  }
  return ErrorFromErrno(err);
}

}  // namespace

Error WriteAll(int fd, std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Error MakeFolders(const std::string& folder, mode_t mode) {
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at < folder.size() && folder[at] != kPathSeparator) continue;
    const std::string part = folder.substr(0, at);
    if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return ErrorFromErrno(errno);
  }
  return {};
}

PosixFileSystem::PosixFileSystem(std::string mountTable) : mountTable_(std::move(mountTable)) {}

Error PosixFileSystem::GetFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return ErrorFromErrno(errno == ENOTDIR ? ENOENT : errno);
  if (!S_ISREG(st.st_mode)) return ErrorFromErrno(ENOENT);
  return {};
}

Error PosixFileSystem::GetFile(const std::string& path, std::optional<FileIdentity>& identity) {
  // One lstat tells both for a plain file; a link is followed for the check.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return ErrorFromErrno(errno == ENOTDIR ? ENOENT : errno);
  identity =
      FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::int64_t>(st.st_size),
                   static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  if (S_ISLNK(st.st_mode)) return GetFile(path);
  if (!S_ISREG(st.st_mode)) return ErrorFromErrno(ENOENT);
  return {};
}

Error PosixFileSystem::Move(const std::string& source, const std::string& target) {
  int err = RenameNoReplace(source, target);
  if (err == EXDEV) err = MoveAcross(source, target);
  return err == 0 ? Error{} : Failure(err, source, target);
}

Error PosixFileSystem::Copy(const std::string& source, const std::string& target) {
  const int err = CopyFileExclusive(source, target, CopyPurpose::kCopy);
  return err == 0 ? Error{} : Failure(err, source, target);
}

Error PosixFileSystem::Delete(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(st.st_mode)) return ErrorFromErrno(EISDIR);
  if (::unlink(path.c_str()) != 0) return ErrorFromErrno(errno);
  return {};
}

std::string PosixFileSystem::TemporaryName(const std::string& path) {
  return path + ".velmora-move-" + std::to_string(::getpid());
}

void PosixFileSystem::HoldTemporary(const std::string& temp, const std::string& original) {
  GuardTemporary(temp, original);
  TestSignalPoint("temporary");
}

void PosixFileSystem::ReleaseTemporary(const std::string& temp) { Unguard(GuardOf(temp)); }

bool PosixFileSystem::SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace velmora

namespace velmora {

bool PosixFileSystem::HasEntrySpelled(const std::string& path) {
  if (!Exists(path)) return false;
  const std::size_t nameStart = FileNameStart(path);
  const std::string folder = nameStart == 0 ? std::string(".") : path.substr(0, nameStart);
  const std::string_view name = std::string_view(path).substr(nameStart);
  DIR* dir = ::opendir(folder.c_str());
  // A folder that cannot be read: the path answers, so take it as spelled.
  if (dir == nullptr) return true;
  bool found = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (name == entry->d_name) {
      found = true;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace velmora
