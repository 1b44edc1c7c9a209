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

bool Exists(const FolderPlace& at) {
  struct stat st {};
  return ::fstatat(at.dir, at.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// What a taken target is, links followed: 0 for a file, else EISDIR for a
// folder and EEXIST for anything else.
int TargetKind(const FolderPlace& at) {
  struct stat st {};
  if (::fstatat(at.dir, at.name.c_str(), &st, 0) != 0) return EEXIST;
  if (S_ISREG(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
}

// link() failures that mean the file system has no hard links at all.
bool NoHardLinks(int err) { return err == EPERM || err == ENOTSUP || err == ENOSYS; }

// renameat2 with RENAME_NOREPLACE; where the file system refuses the flag,
// link then unlink, which cannot replace either. Where it has hard links
// neither (exFAT through FUSE), look first and rename then, as mv -n does:
// nothing better exists there, and nowhere else is the gap taken.
int RenameNoReplace(const FolderPlace& source, const FolderPlace& target) {
  const char* from = source.name.c_str();
  const char* to = target.name.c_str();
  if (::renameat2(source.dir, from, target.dir, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  if (::linkat(source.dir, from, target.dir, to, 0) != 0) {
    if (!NoHardLinks(errno)) return errno;
    if (Exists(target)) return EEXIST;
    if (errno != ENOENT) return errno;
    return ::renameat(source.dir, from, target.dir, to) == 0 ? 0 : errno;
  }
  if (::unlinkat(source.dir, from, 0) != 0) {
    const int err = errno;
    ::unlinkat(target.dir, to, 0);
    return err;
  }
  return 0;
}

// Into another file system: a complete, flushed copy first (a link as a
// link); the source goes only after that. If the source cannot go, the copy
// goes instead, so a failed move leaves things as they were.
int MoveAcross(const FolderPlace& source, const FolderPlace& target) {
  const int err = CopyFileExclusive(source, target, CopyPurpose::kMove);
  if (err != 0) return err;
  if (::unlinkat(source.dir, source.name.c_str(), 0) != 0) {
    const int unlinkErr = errno;
    ::unlinkat(target.dir, target.name.c_str(), 0);
    return unlinkErr;
  }
  return 0;
}

// ENOENT with an existing source means the target's folder is missing: "path
// not found", described as what it is. A folder (or anything else that is no
// file) in the target's place is not a file to overwrite: an access error,
// never 58.
Error Failure(int err, const FolderPlace& source, const FolderPlace& target) {
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
  // Mostly there already: one look at the whole path first.
  std::string whole = folder;
  while (whole.size() > 1 && whole.back() == kPathSeparator) whole.pop_back();
  if (!whole.empty() && (::mkdir(whole.c_str(), mode) == 0 || errno == EEXIST)) return {};
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at < folder.size() && folder[at] != kPathSeparator) continue;
    const std::string part = folder.substr(0, at);
    if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return ErrorFromErrno(errno);
  }
  return {};
}

PosixFileSystem::PosixFileSystem(std::string mountTable) : mountTable_(std::move(mountTable)) {}

Error PosixFileSystem::PinFolder(const std::string& folder) { return pins_.Pin(folder); }

void PosixFileSystem::UnpinFolders() { pins_.Clear(); }

Error PosixFileSystem::GetFile(const std::string& path) {
  FolderPlace at;
  if (Error error = pins_.Resolve(path, at)) return error;
  struct stat st {};
  if (::fstatat(at.dir, at.name.c_str(), &st, 0) != 0) {
    return ErrorFromErrno(errno == ENOTDIR ? ENOENT : errno);
  }
  if (!S_ISREG(st.st_mode)) return ErrorFromErrno(ENOENT);
  return {};
}

Error PosixFileSystem::GetFile(const std::string& path, std::optional<FileIdentity>& identity) {
  // One lstat tells both for a plain file; a link is followed for the check.
  FolderPlace at;
  if (Error error = pins_.Resolve(path, at)) return error;
  struct stat st {};
  if (::fstatat(at.dir, at.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrorFromErrno(errno == ENOTDIR ? ENOENT : errno);
  }
  identity = IdentityOfStat(st);
  if (S_ISLNK(st.st_mode)) return GetFile(path);
  if (!S_ISREG(st.st_mode)) return ErrorFromErrno(ENOENT);
  return {};
}

Error PosixFileSystem::Move(const std::string& source, const std::string& target) {
  FolderPlace from, to;
  if (Error error = pins_.Resolve(source, from)) return error;
  if (Error error = pins_.Resolve(target, to)) return error;
  int err = RenameNoReplace(from, to);
  if (err == EXDEV) err = MoveAcross(from, to);
  if (err != 0) return Failure(err, from, to);
  TestStepDone();
  return {};
}

Error PosixFileSystem::Copy(const std::string& source, const std::string& target) {
  std::optional<FileIdentity> made;
  return CopyAndIdentify(source, target, made);
}

Error PosixFileSystem::CopyAndIdentify(const std::string& source, const std::string& target,
                                       std::optional<FileIdentity>& made) {
  FolderPlace from, to;
  if (Error error = pins_.Resolve(source, from)) return error;
  if (Error error = pins_.Resolve(target, to)) return error;
  FileIdentity identity;
  const int err = CopyFileExclusive(from, to, CopyPurpose::kCopy, &identity);
  if (err != 0) return Failure(err, from, to);
  if (identity.inode != 0) made = identity;
  TestStepDone();
  return {};
}

Error PosixFileSystem::Delete(const std::string& path) {
  FolderPlace at;
  if (Error error = pins_.Resolve(path, at)) return error;
  struct stat st {};
  if (::fstatat(at.dir, at.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return ErrorFromErrno(errno);
  }
  if (S_ISDIR(st.st_mode)) return ErrorFromErrno(EISDIR);
  if (::unlinkat(at.dir, at.name.c_str(), 0) != 0) return ErrorFromErrno(errno);
  return {};
}

std::string PosixFileSystem::TemporaryName(const std::string& path) {
  return path + ".velmora-move-" + std::to_string(::getpid());
}

void PosixFileSystem::HoldTemporary(const std::string& temp, const std::string& original) {
  // Both lie in one folder: the handler works through its descriptor.
  FolderPlace at;
  if (pins_.Resolve(temp, at)) at.dir = AT_FDCWD;
  GuardTemporary(temp, original, at.dir);
  TestSignalPoint("temporary");
}

void PosixFileSystem::ReleaseTemporary(const std::string& temp) { Unguard(GuardOf(temp)); }

bool PosixFileSystem::SameFile(const std::string& a, const std::string& b) {
  FolderPlace atA, atB;
  if (pins_.Resolve(a, atA) || pins_.Resolve(b, atB)) return false;
  struct stat sa {
  }, sb{};
  if (::fstatat(atA.dir, atA.name.c_str(), &sa, 0) != 0 ||
      ::fstatat(atB.dir, atB.name.c_str(), &sb, 0) != 0) {
    return false;
  }
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace velmora

namespace velmora {

bool PosixFileSystem::HasEntrySpelled(const std::string& path) {
  FolderPlace at;
  if (pins_.Resolve(path, at) || !Exists(at)) return false;
  const std::string_view placed = at.name.view();
  const std::size_t nameStart = FileNameStart(placed);
  const std::string folder =
      nameStart == 0 ? std::string(".") : std::string(placed.substr(0, nameStart));
  const std::string_view name = placed.substr(nameStart);
  const int fd = ::openat(at.dir, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  // A folder that cannot be read: the path answers, so take it as spelled.
  if (dir == nullptr) {
    if (fd >= 0) ::close(fd);
    return true;
  }
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
