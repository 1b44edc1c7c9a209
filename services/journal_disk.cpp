#include "services/journal_disk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

Error ReadOwnFile(FileSystem& disk, const std::string& path, std::string& text, bool& missing) {
  Error error;
  const std::unique_ptr<OpenFile> file = disk.OpenOwn(path, OwnFileMode::kExisting, error);
  missing = !file && error.number == kFileNotFound;
  if (!file) {
    text.clear();
    return error;
  }
  FileStamp stamp;
  if (!(error = file->Stamp(stamp))) {
    // Not cleared first: a buffer read into before is filled with zeros only
    // where it grows, and the read overwrites it all.
    text.resize(static_cast<std::size_t>(stamp.identity.size));
    error = file->ReadAt(0, text.data(), text.size());
  }
  if (error) text.clear();
  return error;
}

Error ForEachLine(OpenFile& file, std::int64_t size,
                  const std::function<void(std::string_view line, bool torn)>& take) {
  // Reused for every piece: a few pages touched, however large the file.
  constexpr std::size_t kPiece = std::size_t{64} * 1024;
  std::string piece(kPiece, '\0');
  std::string carried;  // the start of a line that goes on in the next piece
  for (std::int64_t at = 0; at < size;) {
    const std::size_t length = static_cast<std::size_t>(std::min<std::int64_t>(kPiece, size - at));
    if (Error error = file.ReadAt(at, piece.data(), length)) return error;
    at += static_cast<std::int64_t>(length);
    const std::string_view text(piece.data(), length);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos;
         start = end + 1) {
      if (carried.empty()) {
        take(text.substr(start, end - start), false);
      } else {
        carried.append(text.substr(start, end - start));
        take(carried, false);
        carried.clear();
      }
    }
    carried.append(text.substr(start));
  }
  if (!carried.empty()) take(carried, true);
  return {};
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

Error RangeLocked(int fd, off_t start, off_t length, bool& locked) {
  flock64 lock = Range(F_WRLCK, start, length);
  if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return ErrorFromErrno(errno);
  locked = lock.l_type != F_UNLCK;
  return {};
}

std::vector<std::string> FilesBeside(FileSystem& disk, const std::string& journalPath,
                                     const std::string& infix) {
  const std::string folder = JournalFolderOf(journalPath);
  const std::string prefix = journalPath.substr(journalPath.rfind('/') + 1) + infix;
  std::vector<FolderItem> items;
  std::vector<std::string> paths;
  if (!disk.ListFolder(folder + '/', items)) return paths;
  for (const FolderItem& item : items) {
    if (item.name.starts_with(prefix) && item.name.size() > prefix.size()) {
      paths.push_back(folder + '/' + item.name);
    }
  }
  return paths;
}

std::vector<std::string> SegmentPaths(FileSystem& disk, const std::string& journalPath) {
  std::vector<std::pair<unsigned long long, std::string>> found;
  for (std::string& path : FilesBeside(disk, journalPath, kSegmentInfix)) {
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
  return std::string(JournalFolderView(path));
}

std::string_view JournalFolderView(std::string_view path) {
  // Twice a step for each path: memrchr, not rfind's loop of single bytes.
  const void* slash = path.empty() ? nullptr : ::memrchr(path.data(), '/', path.size());
  if (slash == nullptr) return ".";
  const auto cut = static_cast<std::size_t>(static_cast<const char*>(slash) - path.data());
  return cut == 0 ? "/" : path.substr(0, cut);
}

}  // namespace velmora
