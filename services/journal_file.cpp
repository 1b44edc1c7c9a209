// JournalFile: the append lock, the segment held open for appends, torn
// tails, sealing.
#include <algorithm>
#include <ctime>

#include "services/journal_disk.h"
#include "services/journal_lock.h"
#include "services/journal_scan.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

constexpr std::int64_t kKeepLockNs = std::int64_t{20} * 1000000;

std::int64_t MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Cuts a last line without its LF off the file of length size (a write cut
// short by a crash), so that the next record starts a line of its own.
Error CutTornTail(OpenFile& file, std::int64_t& size) {
  char buffer[4096];
  std::int64_t end = size;
  while (end > 0) {
    const std::int64_t start = std::max<std::int64_t>(0, end - std::int64_t{sizeof buffer});
    const auto n = static_cast<std::size_t>(end - start);
    if (Error error = file.ReadAt(start, buffer, n)) return error;
    for (std::size_t i = n; i-- > 0;) {
      if (buffer[i] != '\n') continue;
      const std::int64_t keep = start + static_cast<std::int64_t>(i) + 1;
      if (keep == size) return {};
      if (Error error = file.Truncate(keep)) return error;
      size = keep;
      return {};
    }
    end = start;
  }
  if (size > 0) {
    if (Error error = file.Truncate(0)) return error;
  }
  size = 0;
  return {};
}

}  // namespace

JournalFile::JournalFile(std::string path, FileSystem* disk)
    : path_(std::move(path)), scans_(std::make_unique<SegmentScans>()) {
  if (disk == nullptr) ownDisk_ = std::make_unique<PosixFileSystem>();
  disk_ = disk != nullptr ? disk : ownDisk_.get();
}

JournalFile::~JournalFile() { DropJournal(); }

bool JournalFile::MayHoldInterruptedRuns() {
  return velmora::MayHoldInterruptedRuns(*disk_, path_, *scans_);
}

Error JournalFile::OpenLock() {
  if (lock_) return {};
  Error error;
  lock_ = disk_->OpenOwn(path_ + ".lock", OwnFileMode::kCreate, error);
  return error;
}

Error JournalFile::LockAppends() {
  if (Error error = OpenLock()) return error;
  return lock_->Lock(0, 1, /*exclusive=*/true, /*wait=*/true);
}

void JournalFile::Unlock() {
  lockKept_ = false;
  if (lock_) lock_->Unlock(0, 1);
}

void JournalFile::ReleaseLock() {
  if (lockKept_) Unlock();
}

void JournalFile::DropJournal() {
  journal_.reset();
  knownEnd_ = -1;
}

Error JournalFile::HoldJournal(std::int64_t& size) {
  // One look per record instead of an open with its checks: the path must
  // still name the held file. A link put in its place, a seal or a
  // compaction has an inode of its own.
  FileIdentity now;
  if (journal_ && disk_->Identify(path_, now) && now.device == journalDevice_ &&
      now.inode == journalInode_) {
    size = now.size;
    // Another process wrote since: it may have died in the middle of a line.
    return size == knownEnd_ ? Error{} : CutTornTail(*journal_, size);
  }
  DropJournal();
  return OpenCurrent(size);
}

Error JournalFile::OpenCurrent(std::int64_t& size) {
  Error error;
  std::unique_ptr<OpenFile> file = disk_->OpenOwn(path_, OwnFileMode::kCreate, error);
  if (!file) return error;
  FileStamp stamp;
  if ((error = file->Stamp(stamp))) return error;
  char head[sizeof kJournalHeader - 1];
  const std::size_t got = std::min<std::size_t>(sizeof head, stamp.identity.size);
  if ((error = file->ReadAt(0, head, got))) return error;
  const std::string_view start(head, got);
  if (start == kJournalHeaderV2) {
    file.reset();
    if ((error = ConvertVersion2())) return error;
    file = disk_->OpenOwn(path_, OwnFileMode::kExisting, error);
    if (!file || (error = file->Stamp(stamp))) return error;
  } else if (got > 0 && std::string_view(kJournalHeader).substr(0, start.size()) != start) {
    // Never append to a file that is not a journal of this version.
    return {kInvalidFileFormat, "Not a journal of version 3: " + path_};
  }
  size = stamp.identity.size;
  if ((error = CutTornTail(*file, size))) return error;
  FileIdentity now = stamp.identity;
  now.size = size;
  scans_->Opened(now);
  journal_ = std::move(file);
  journalDevice_ = stamp.identity.device;
  journalInode_ = stamp.identity.inode;
  knownEnd_ = size;
  return {};
}

Error JournalFile::Append(std::string_view records, const RecordsOf* of) {
  const bool kept = lockKept_;
  if (!kept) {
    if (Error error = LockAppends()) return error;
    lockKept_ = keepLock_;
    keptSinceNs_ = MonotonicNs();
  }
  const Error error = AppendLocked(records, kept, of);
  if (!lockKept_ || error || MonotonicNs() - keptSinceNs_ > kKeepLockNs) Unlock();
  return error;
}

Error JournalFile::AppendLocked(std::string_view records, bool held, const RecordsOf* of) {
  std::int64_t size = keptSize_;
  if (!held || !journal_) {
    if (Error error = HoldJournal(size)) return error;
  }
  std::string withHeader;
  std::string_view text = records;
  if (size == 0) text = withHeader = std::string(kJournalHeader) + '\n' + std::string(records);
  Error error = journal_->WriteAt(size, text.data(), text.size());
  // A half-written record is cut off at once rather than left for the reader.
  if (error) {
    if (Error cut = journal_->Truncate(size)) error = cut;
  }
  keptSize_ = error ? size : size + static_cast<std::int64_t>(text.size());
  knownEnd_ = keptSize_;
  if (!error) {
    const std::int64_t header = static_cast<std::int64_t>(text.size() - records.size());
    if (header > 0) scans_->Appended(size, text.substr(0, header));
    scans_->Appended(size + header, records, of);
    SealIfLarge(keptSize_);
  }
  return error;
}

// A failed seal leaves the segment growing; the next append tries again.
// Its summary goes last, so that later looks read only that; one not
// written whole is cut off, one left by a seal cut short is passed over.
void JournalFile::SealIfLarge(std::int64_t size) {
  if (size <= segmentBytes_) return;
  const std::string summary = scans_->Summary(*disk_, path_, size);
  if (!summary.empty() && journal_) {
    if (journal_->WriteAt(size, summary.data(), summary.size())) {
      (void)journal_->Truncate(size);
    } else {
      scans_->Appended(size, summary);
      keptSize_ = knownEnd_ = size + static_cast<std::int64_t>(summary.size());
    }
  }
  const std::string sealed = NextSegmentPath(path_, SegmentPaths(*disk_, path_));
  if (disk_->Move(path_, sealed)) return;
  DropJournal();
  keptSize_ = 0;
}

Error JournalFile::Replace(const std::string& text) {
  std::string temp;
  Error error;
  std::unique_ptr<OpenFile> file = disk_->CreateBeside(path_, temp, error);
  if (!file) return error;
  error = file->WriteAt(0, text.data(), text.size());
  if (!error) error = file->Sync();
  if (Error closed = file->Close(); closed && !error) error = closed;
  file.reset();
  if (!error) error = disk_->ReplaceWith(temp, path_);
  if (error) (void)disk_->Delete(temp);
  if (!error) DropJournal();  // the held file is no longer the journal
  return error;
}

}  // namespace velmora
