// JournalWriter: the records of one run, its run file and its lock.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>

#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/test_hooks.h"

namespace velmora {
namespace {

constexpr char kTab = '\t';

}  // namespace

JournalWriter::RecordHead::RecordHead(char letter, const std::string& run)
    : text(std::string{letter, kTab} + run + kTab), crc(Crc32c(text)) {}

JournalWriter::JournalWriter(JournalFile& file, ErrorReporter& reporter)
    : file_(file), reporter_(reporter) {
  if (const char* kill = TestHook("VELMORA_TEST_KILL_AFTER")) killAfter_ = std::atol(kill);
}

JournalWriter::~JournalWriter() {
  (void)Settle();
  runFile_.reset();  // the lock goes with it: the run counts as interrupted
}

Error JournalWriter::Settle() {
  const std::string abandoned = AbandonAhead();
  const Error error =
      waiting_.empty() && abandoned.empty() ? Error{} : Write(abandoned, true, /*intents=*/0);
  file_.ReleaseLock();
  return error;
}

Error JournalWriter::Begin(const std::string& command) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  run_ = std::to_string(::getpid()) + "-" +
         std::to_string(static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec);
  intentHead_ = RecordHead('I', run_);
  doneHead_ = RecordHead('D', run_);
  seq_ = 0;
  current_ = 0;
  ownSteps_.clear();
  ForgetFolders();
  if (Error error = Settle()) return error;
  runFile_.reset();
  runFileSize_ = 0;
  FileSystem& disk = file_.disk();
  const std::string runFile = RunFilePath(file_.path(), run_);
  Error error;
  runFile_ = disk.OpenOwn(runFile, OwnFileMode::kCreateNew, error);
  // Held for the run's whole life: whoever finds it free knows the run is over.
  if (runFile_) error = runFile_->Lock(0, 0, /*exclusive=*/true, /*wait=*/false);
  if (!error) error = file_.Trim(kMaxJournalSteps);
  if (!error) {
    error = file_.Append(
        FrameRecord("B\t" + run_ + kTab + JournalNow() + kTab + EscapeJournalText(command)));
  }
  if (error && runFile_) {
    (void)disk.Delete(runFile);
    runFile_.reset();
  }
  return error;
}

// Write reports its own failure; the run has nothing left to stop.
void JournalWriter::End() {
  if (!runFile_) return;
  (void)Write(AbandonAhead() + FrameRecord("E\t" + run_ + kTab + JournalNow()));
  file_.ReleaseLock();
  if (runFileSize_ == 0) (void)file_.disk().Delete(RunFilePath(file_.path(), run_));
  runFile_.reset();
  if (deferDone_) file_.disk().UnpinFolders();
}

StepIdentity JournalWriter::LookUp(const std::string& path, bool folder) {
  FileIdentity found;
  if (!file_.disk().Identify(path, found)) return {};
  StepIdentity id{true, found.size, found.modified, found.device, found.inode};
  AddFileSystem(id, path, folder);
  return id;
}

StepIdentity JournalWriter::LookUpFile(const std::string& path) {
  FileSystem& disk = file_.disk();
  std::optional<FileIdentity> found;
  if (disk.GetFile(path, found)) return {};
  if (!found) {
    FileIdentity looked;
    if (!disk.Identify(path, looked)) return {};
    found = looked;
  }
  StepIdentity id{true, found->size, found->modified, found->device, found->inode};
  AddFileSystem(id, path);
  return id;
}

// A run works through the folders it opened once: one look per device.
void JournalWriter::AddFileSystem(StepIdentity& id, const std::string& path, bool isFolder) {
  // Mostly the device of the file before.
  if (lastFileSystem_ != nullptr && lastFileSystem_->first == id.device) {
    id.fsid = lastFileSystem_->second.fsid;
    id.inodeStable = lastFileSystem_->second.inodeStable;
    return;
  }
  auto found = fileSystems_.find(id.device);
  if (found == fileSystems_.end()) {
    FileSystemIdentity traits;
    StepIdentity fs;
    if (file_.disk().IdentifyFileSystem(isFolder ? path : JournalFolderOf(path), traits)) {
      fs = {true, 0, 0, id.device, 0, traits.fsid, traits.inodeStable};
    }
    found = fileSystems_.emplace(id.device, fs).first;
  }
  lastFileSystem_ = &*found;
  id.fsid = found->second.fsid;
  id.inodeStable = found->second.inodeStable;
}

void JournalWriter::FolderRecords(RecordBuffer& records, const std::string& source,
                                  const std::string& target, bool* targetStable,
                                  std::vector<std::string>* added) {
  for (const std::string* path : {&source, &target}) {
    // Most steps stay in the folder of the step before: the path starts
    // with it and a slash, and no slash follows.
    const std::size_t n = lastFolder_.size();
    if (n > 0 && path->size() > n && (*path)[n] == '/' && path->compare(0, n, lastFolder_) == 0 &&
        path->find('/', n + 1) == std::string::npos) {
      if (targetStable != nullptr) *targetStable = lastStable_;
      continue;
    }
    const std::string_view view = JournalFolderView(*path);
    if (!lastFolder_.empty() && view == lastFolder_) {
      if (targetStable != nullptr) *targetStable = lastStable_;
      continue;
    }
    std::string folder(view);
    auto found = folders_.find(folder);
    if (found == folders_.end()) {
      const StepIdentity id = LookUp(folder, /*folder=*/true);
      records +=
          FrameRecord("F\t" + run_ + kTab + EscapeJournalText(folder) + kTab + IdentityFields(id));
      if (added != nullptr) added->push_back(folder);
      // Looks in a folder of a fast run go through its descriptor: no walk
      // of the whole path per step. A folder that cannot be opened is
      // looked at by its path.
      if (deferDone_) (void)file_.disk().PinFolder(folder);
      found = folders_.emplace(std::move(folder), id.known && id.inodeStable).first;
    }
    lastFolder_ = found->first;
    lastStable_ = found->second;
    if (targetStable != nullptr) *targetStable = found->second;
  }
}

// A tag write's payload is its packed edits, worked out before the write;
// without one the step cannot be taken back.
Error JournalWriter::StorePayload(FileOp op, const std::string& /*source*/,
                                  std::string_view payload, JournalPayload& stored) {
  stored = {};
  if (op != FileOp::kTag || payload.empty()) return {};
  if (Error error = runFile_->WriteAt(runFileSize_, payload.data(), payload.size())) {
    // The record never points past the bytes it names; a tail that stays is
    // unused.
    (void)runFile_->Truncate(runFileSize_);
    return error;
  }
  const auto length = static_cast<std::int64_t>(payload.size());
  stored = {true, runFileSize_, length, Crc32c(payload)};
  runFileSize_ += length;
  return {};
}

void JournalWriter::AppendIntent(RecordBuffer& out, long seq, FileOp op, const std::string& source,
                                 const std::string& target, const IdentityText& id,
                                 const JournalPayload& payload) const {
  // A record a step: its fields written into room made once, not appended
  // one by one, the paths looked at for escapes as they are copied.
  constexpr std::size_t kNumber = 20;
  const std::string_view head = intentHead_.text;
  char* const room = out.Room(head.size() + kNumber + 3 + source.size() + 1 + target.size() + 1 +
                              id.size + 1 + kMaxPayloadFields + kFrameBytes);
  std::memcpy(room, head.data(), head.size());
  char* const begin = room + head.size();
  char* at = intentSeq_.Put(begin, seq);
  *at++ = kTab;
  *at++ = KindDigit(op);
  *at++ = kTab;
  bool sourceEscapes = false;
  bool targetEscapes = false;
  at = PutUnescaped(at, source, sourceEscapes);
  *at++ = kTab;
  at = PutUnescaped(at, target, targetEscapes);
  if (sourceEscapes || targetEscapes) {
    std::string line(head);
    AppendNumber(line, seq);
    line += kTab;
    line += KindDigit(op);
    line += kTab;
    AppendEscaped(line, source);
    line += kTab;
    AppendEscaped(line, target);
    line += kTab;
    line.append(id.view());
    line += kTab;
    AppendPayloadFields(line, payload);
    FrameFrom(line, 0);
    out += line;
    return;
  }
  *at++ = kTab;
  std::memcpy(at, id.text, id.size);
  at += id.size;
  *at++ = kTab;
  at = PutPayloadFields(at, payload);
  out.End(FrameAt(begin, at, intentHead_.crc));
}

Error JournalWriter::Intent(FileOp op, const std::string& source, const std::string& target,
                            const FileIdentity* known, std::string_view payload) {
  // A large copy may take long; others do not wait for it.
  constexpr std::int64_t kQuickCopy = 1 << 20;
  const bool slow = op != FileOp::kRename && (known == nullptr || known->size > kQuickCopy);
  // A step written ahead with its payload is announced with the same one.
  if (TakeWrittenAhead(op, source, target, known)) {
    if (slow) file_.ReleaseLock();
    return {};
  }
  // Written after the done records that wait, in their room: it is reused
  // group after group, and the records are not copied again.
  RecordBuffer& records = waiting_;
  const std::size_t waiting = records.size();
  records += AbandonAhead();
  current_ = ++seq_;
  currentPlain_ = false;
  ownSteps_.push_back(current_);
  JournalPayload stored;
  if (Error error = StorePayload(op, source, payload, stored)) {
    records.Truncate(waiting);
    ReportOnce(error);
    return error;
  }
  FolderRecords(records, source, target);
  if (known != nullptr) {
    announced_ = {true, known->size, known->modified, known->device, known->inode};
    AddFileSystem(announced_, source);
  } else {
    announced_ = LookUp(source);
  }
  FormatIdentityFields(announcedText_, announced_);
  AppendIntent(records, current_, op, source, target, announcedText_, stored);
  const std::size_t alone = records.size();
  const std::size_t nextBefore = next_;
  std::vector<std::string> newFolders;
  if (payload.empty()) WriteAhead(op, source, target, records, waiting, newFolders);
  Error error = Flush(1 + static_cast<long>(ahead_.size()), /*report=*/ahead_.empty());
  if (error && !ahead_.empty()) {
    // Too much for a nearly full disk: the step's own intent alone, which
    // may still fit. The intents ahead were cut off again.
    ahead_.clear();
    aheadStart_ = 0;
    seq_ = current_;
    next_ = nextBefore;
    for (const std::string& folder : newFolders) ForgetFolder(folder);
    records.Truncate(alone);
    error = Flush(1);
  }
  if (error) records.Truncate(waiting);
  if (slow) file_.ReleaseLock();
  return error;
}

Error JournalWriter::Done(FileOp op, const std::string& source, const std::string& target) {
  return RecordDone(op, source, target, nullptr);
}

Error JournalWriter::DoneAs(FileOp op, const std::string& source, const std::string& target,
                            const FileIdentity& after) {
  return RecordDone(op, source, target, &after);
}

Error JournalWriter::RecordDone(FileOp op, const std::string& source, const std::string& target,
                                const FileIdentity* seen) {
  // Tests kill the run between an operation and its done record.
  if (killAfter_ > 0 && ++operations_ == killAfter_) std::raise(SIGKILL);
  // A rename keeps the file, its size and modification time: the intent's
  // identity is the new name's, without another lstat. A file changed
  // between the two is refused by undo, as one changed after the run.
  StepIdentity after;
  if (seen != nullptr) {
    after = {true, seen->size, seen->modified, seen->device, seen->inode};
    AddFileSystem(after, target);
  }
  // Where inode numbers do not last, the name is what undo will find.
  bool same = false;
  if (!after.inodeStable) {
    same = op == FileOp::kRename && announced_.known;
    after = same ? announced_ : LookUp(target);
  }
  // Where the disk alone cannot tell which name holds the file, the record
  // goes out at once.
  const bool now = !deferDone_ ||
                   (!currentPlain_ && (IsRenameTemporary(source) ||
                                       (&target != &source && IsRenameTemporary(target)))) ||
                   !after.inodeStable;
  RecordBuffer& out = waiting_;
  const std::size_t waiting = out.size();
  IdentityText fresh;
  if (!same) FormatIdentityFields(fresh, after);
  const std::string_view id = same ? announcedText_.view() : fresh.view();
  constexpr std::size_t kNumber = 20;
  const std::string_view head = doneHead_.text;
  char* const room = out.Room(head.size() + kNumber + 1 + id.size() + kFrameBytes);
  std::memcpy(room, head.data(), head.size());
  char* const begin = room + head.size();
  char* at = doneSeq_.Put(begin, current_);
  *at++ = kTab;
  std::memcpy(at, id.data(), id.size());
  out.End(FrameAt(begin, at + id.size(), doneHead_.crc));
  if (!now) return {};
  const Error error = Flush(0);
  if (error) out.Truncate(waiting);
  return error;
}

void JournalWriter::Abandoned(FileOp, const std::string&, const std::string&) {
  // Reports its own failure.
  (void)Write(FrameRecord("A\t" + run_ + kTab + std::to_string(current_)), true, /*intents=*/0);
}

Error JournalWriter::Undone(const std::string& run, long seq) {
  // Like a done record, it rides with the next write: lost to a crash, it
  // leaves the step for the next undo, which finds the file back in place.
  std::string records;
  const auto add = [&records](const std::string& of, long number) {
    const std::size_t start = records.size();
    records += "U\t";
    records += of;
    records += kTab;
    AppendNumber(records, number);
    FrameFrom(records, start);
  };
  if (!run.empty()) add(run, seq);
  if (deferDone_ && !run.empty() && run != run_) waitingForeign_ = true;
  for (long own : ownSteps_) add(run_, own);
  ownSteps_.clear();
  if (!deferDone_) return records.empty() ? Error{} : Write(records);
  waiting_ += records;
  return {};
}

Error JournalWriter::NotDone(const std::string& run, long seq) {
  return Write(FrameRecord("A\t" + run + kTab + std::to_string(seq)));
}

std::vector<long> JournalWriter::TakeOwnSteps() { return std::exchange(ownSteps_, {}); }

void JournalWriter::ReportOnce(const Error& error) {
  if (reported_) return;
  reported_ = true;
  reporter_.ReportError(Location::kNone, error.number, kJournalWriteContext, file_.path(),
                        error.description);
}

Error JournalWriter::Write(std::string_view records, bool report, long intents) {
  const std::size_t waiting = waiting_.size();
  waiting_ += records;
  const Error error = Flush(intents, report);
  if (error) waiting_.Truncate(waiting);
  return error;
}

Error JournalWriter::Flush(long intents, bool report) {
  const RecordsOf of{run_, static_cast<std::size_t>(intents)};
  const Error error =
      file_.Append(waiting_.view(), intents >= 0 && !waitingForeign_ ? &of : nullptr);
  // A done record that could not be written is tried again with the next
  // record, and that record fails too: the run stops before its operation.
  if (!error) {
    waiting_.clear();
    waitingForeign_ = false;
  }
  if (error && report) ReportOnce(error);
  return error;
}

}  // namespace velmora
