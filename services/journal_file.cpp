// JournalFile: the append lock, the segment held open for appends, torn
// tails, sealing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "services/journal_disk.h"
#include "services/journal_lock.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

constexpr std::int64_t kKeepLockNs = 20 * 1000000;

std::int64_t MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Cuts a last line without its LF off the file of length size (a write cut
// short by a crash), so that the next record starts a line of its own.
Error CutTornTail(int fd, std::int64_t& size) {
  char buffer[4096];
  std::int64_t end = size;
  while (end > 0) {
    const std::int64_t start = end > static_cast<std::int64_t>(sizeof buffer)
                                   ? end - static_cast<std::int64_t>(sizeof buffer)
                                   : 0;
    const ssize_t n = ::pread(fd, buffer, static_cast<std::size_t>(end - start), start);
    if (n != end - start) return ErrorFromErrno(n < 0 ? errno : EIO);
    for (std::int64_t i = n; i-- > 0;) {
      if (buffer[i] != '\n') continue;
      const std::int64_t keep = start + i + 1;
      if (keep == size) return {};
      if (::ftruncate(fd, keep) != 0) return ErrorFromErrno(errno);
      size = keep;
      return {};
    }
    end = start;
  }
  if (size > 0 && ::ftruncate(fd, 0) != 0) return ErrorFromErrno(errno);
  size = 0;
  return {};
}

}  // namespace

JournalFile::~JournalFile() {
  DropJournal();
  if (lockFd_ >= 0) ::close(lockFd_);
}

Error JournalFile::OpenLock() {
  if (lockFd_ >= 0) return {};
  return OpenOwnFile(path_ + ".lock", O_RDWR | O_CREAT, 0600, lockFd_);
}

Error JournalFile::LockAppends() {
  if (Error error = OpenLock()) return error;
  return LockRange(lockFd_, 0, 1, /*exclusive=*/true, /*wait=*/true);
}

void JournalFile::Unlock() {
  lockKept_ = false;
  UnlockRange(lockFd_, 0, 1);
}

void JournalFile::ReleaseLock() {
  if (lockKept_) Unlock();
}

void JournalFile::DropJournal() {
  if (journalFd_ >= 0) ::close(journalFd_);
  journalFd_ = -1;
  knownEnd_ = -1;
}

Error JournalFile::HoldJournal(std::int64_t& size) {
  // One lstat per record instead of an open with its checks: the path must
  // still name the held file, and that file must still be a regular file of
  // the user. A link put in its place, a seal or a compaction has an inode
  // of its own.
  struct stat st {};
  if (journalFd_ >= 0 && ::lstat(path_.c_str(), &st) == 0 &&
      static_cast<std::uint64_t>(st.st_dev) == journalDevice_ &&
      static_cast<std::uint64_t>(st.st_ino) == journalInode_ && S_ISREG(st.st_mode) &&
      st.st_uid == owner_) {
    size = st.st_size;
    // Another process wrote since: it may have died in the middle of a line.
    return size == knownEnd_ ? Error{} : CutTornTail(journalFd_, size);
  }
  DropJournal();
  return OpenCurrent(size);
}

Error JournalFile::OpenCurrent(std::int64_t& size) {
  int fd = -1;
  if (Error error = OpenOwnFile(path_, O_RDWR | O_APPEND | O_CREAT, 0600, fd)) return error;
  char head[sizeof kJournalHeader - 1];
  const ssize_t got = ::pread(fd, head, sizeof head, 0);
  const std::string_view start(head, got > 0 ? static_cast<std::size_t>(got) : 0);
  if (start == kJournalHeaderV2) {
    ::close(fd);
    if (Error error = ConvertVersion2()) return error;
    if (Error error = OpenOwnFile(path_, O_RDWR | O_APPEND, 0600, fd)) return error;
  } else if (got > 0 && std::string_view(kJournalHeader).substr(0, start.size()) != start) {
    // Never append to a file that is not a journal of this version.
    ::close(fd);
    return {kInvalidFileFormat, "Not a journal of version 3: " + path_};
  }
  struct stat st {};
  Error error;
  if (::fstat(fd, &st) != 0) error = ErrorFromErrno(errno);
  size = st.st_size;
  if (!error) error = CutTornTail(fd, size);
  if (error) {
    ::close(fd);
    return error;
  }
  journalFd_ = fd;
  journalDevice_ = static_cast<std::uint64_t>(st.st_dev);
  journalInode_ = static_cast<std::uint64_t>(st.st_ino);
  owner_ = st.st_uid;  // the effective user's: OpenOwnFile refuses others
  knownEnd_ = size;
  return {};
}

Error JournalFile::Append(const std::string& records) {
  const bool kept = lockKept_;
  if (!kept) {
    if (Error error = LockAppends()) return error;
    lockKept_ = keepLock_;
    keptSinceNs_ = MonotonicNs();
  }
  const Error error = AppendLocked(records, kept);
  if (!lockKept_ || error || MonotonicNs() - keptSinceNs_ > kKeepLockNs) Unlock();
  return error;
}

Error JournalFile::AppendLocked(const std::string& records, bool held) {
  std::int64_t size = keptSize_;
  if (!held || journalFd_ < 0) {
    if (Error error = HoldJournal(size)) return error;
  }
  Error error = size == 0 ? WriteAll(journalFd_, std::string(kJournalHeader) + '\n' + records)
                          : WriteAll(journalFd_, records);
  const std::int64_t written =
      static_cast<std::int64_t>(records.size() + (size == 0 ? sizeof kJournalHeader : 0));
  // A half-written record is cut off at once rather than left for the reader.
  if (error && ::ftruncate(journalFd_, size) != 0) error = ErrorFromErrno(errno);
  keptSize_ = error ? size : size + written;
  knownEnd_ = keptSize_;
  if (!error) SealIfLarge(keptSize_);
  return error;
}

// A failed seal leaves the segment growing; the next append tries again.
void JournalFile::SealIfLarge(std::int64_t size) {
  if (size <= segmentBytes_) return;
  const std::string sealed = NextSegmentPath(path_, SegmentPaths(path_));
  if (::rename(path_.c_str(), sealed.c_str()) != 0) return;
  DropJournal();
  keptSize_ = 0;
}

Error JournalFile::Replace(const std::string& text) {
  std::string temp = path_ + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno);
  Error error = WriteAll(fd, text);
  if (!error && ::fsync(fd) != 0) error = ErrorFromErrno(errno);
  if (::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  if (!error && ::rename(temp.c_str(), path_.c_str()) != 0) error = ErrorFromErrno(errno);
  if (error) ::unlink(temp.c_str());
  if (!error) DropJournal();  // the held file is no longer the journal
  return error;
}

}  // namespace velmora
