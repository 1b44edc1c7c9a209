#include "services/journal_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "services/own_file.h"

namespace velmora {
namespace {

constexpr char kSegmentInfix[] = ".seg-";

// The f_type values of file systems whose inode numbers may change between
// mounts, or name different files over time.
bool InodesUnstable(long type) {
  switch (static_cast<unsigned long>(type)) {
    case 0x4d44:      // vfat, msdos
    case 0x2011BAB0:  // exFAT
    case 0x5346544e:  // NTFS (ntfs-3g mounts are FUSE)
    case 0x7366746e:  // ntfs3
    case 0x65735546:  // FUSE
    case 0x794c7630:  // overlayfs
      return true;
    default:
      return false;
  }
}

flock64 Range(short type, off_t start, off_t length) {
  flock64 lock{};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  return lock;
}

}  // namespace

Error ReadOwnFile(const std::string& path, std::string& text, bool& missing) {
  text.clear();
  int fd = -1;
  Error error = OpenOwnFile(path, O_RDONLY, 0600, fd);
  missing = fd < 0 && error.number == kFileNotFound;
  if (fd < 0) return error;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) text.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = ErrorFromErrno(errno);
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return error;
}

Error LockRange(int fd, off_t start, off_t length, bool exclusive, bool wait) {
  flock64 lock = Range(exclusive ? F_WRLCK : F_RDLCK, start, length);
  while (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0) {
    if (errno != EINTR) return ErrorFromErrno(errno);
  }
  return {};
}

void UnlockRange(int fd, off_t start, off_t length) {
  flock64 lock = Range(F_UNLCK, start, length);
  ::fcntl(fd, F_OFD_SETLK, &lock);
}

bool RangeLocked(int fd, off_t start, off_t length) {
  flock64 lock = Range(F_WRLCK, start, length);
  return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

std::vector<std::string> FilesBeside(const std::string& journalPath, const std::string& infix) {
  const std::string folder = JournalFolderOf(journalPath);
  const std::string prefix = journalPath.substr(journalPath.rfind('/') + 1) + infix;
  std::vector<std::string> paths;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name.starts_with(prefix) && name.size() > prefix.size()) {
        paths.push_back(folder + '/' + std::string(name));
      }
    }
    ::closedir(dir);
  }
  return paths;
}

std::vector<std::string> SegmentPaths(const std::string& journalPath) {
  std::vector<std::pair<unsigned long long, std::string>> found;
  for (std::string& path : FilesBeside(journalPath, kSegmentInfix)) {
    const std::string digits = path.substr(path.rfind(kSegmentInfix) + sizeof kSegmentInfix - 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 18) continue;
    found.emplace_back(std::stoull(digits), std::move(path));
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& [number, path] : found) paths.push_back(std::move(path));
  return paths;
}

std::string NextSegmentPath(const std::string& journalPath,
                            const std::vector<std::string>& segments) {
  unsigned long long next = 1;
  if (!segments.empty()) {
    const std::string& last = segments.back();
    next = std::stoull(last.substr(last.rfind(kSegmentInfix) + sizeof kSegmentInfix - 1)) + 1;
  }
  char number[32];
  std::snprintf(number, sizeof number, "%06llu", next);
  return journalPath + kSegmentInfix + number;
}

bool FileSystemOf(const std::string& folder, FileSystemTraits& traits) {
  struct statfs fs {};
  if (::statfs(folder.c_str(), &fs) != 0) return false;
  std::uint64_t fsid = 0;
  static_assert(sizeof fs.f_fsid == 8);
  std::memcpy(&fsid, &fs.f_fsid, sizeof fsid);
  traits = {fsid, !InodesUnstable(static_cast<long>(fs.f_type))};
  return true;
}

std::string JournalFolderOf(const std::string& path) {
  const std::size_t cut = path.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

}  // namespace velmora
