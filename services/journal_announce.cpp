// JournalWriter: the intents of steps announced with their payloads (tag
// writes), written in one write ahead of them with their payloads in one
// write to the run file.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_format.h"

namespace velmora {
namespace {

// The files of the steps taken into one write so far, by name and by
// (device, inode), each in open addressing in a room twice the most it
// holds: a look along them all cost a batch of 64 steps as much as its
// records.
class BatchFiles {
 public:
  explicit BatchFiles(std::size_t steps) {
    std::size_t size = 16;
    while (size < 2 * steps) size *= 2;
    names_.assign(size, Slot{});
    files_.assign(size, Slot{});
  }
  // False when path or the file (device, inode) was taken before.
  bool Add(const std::string& path, const FileIdentity& file) {
    // A name's length and last eight bytes: names of one folder differ
    // there, so most comparisons end at these two numbers.
    std::uint64_t tail = 0;
    const std::size_t n = std::min<std::size_t>(path.size(), sizeof tail);
    std::memcpy(&tail, path.data() + path.size() - n, n);
    const std::size_t mask = names_.size() - 1;
    std::size_t name = Mix(path.size(), tail) & mask;
    for (; names_[name].used; name = (name + 1) & mask) {
      const Slot& slot = names_[name];
      if (slot.a == path.size() && slot.b == tail && *slot.path == path) return false;
    }
    std::size_t at = Mix(file.device, file.inode) & mask;
    for (; files_[at].used; at = (at + 1) & mask) {
      if (files_[at].a == file.device && files_[at].b == file.inode) return false;
    }
    names_[name] = {path.size(), tail, &path, true};
    files_[at] = {file.device, file.inode, nullptr, true};
    return true;
  }

 private:
  struct Slot {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    const std::string* path = nullptr;
    bool used = false;
  };
  static std::size_t Mix(std::uint64_t a, std::uint64_t b) {
    std::uint64_t hash = (a ^ (b * 0x9e3779b97f4a7c15ull)) * 0xff51afd7ed558ccdull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
  }

  std::vector<Slot> names_;
  std::vector<Slot> files_;
};

// Room for a batch's payloads, made once.
void MakeRoom(const std::vector<AnnouncedStep>& steps, std::string& payloads) {
  std::size_t payloadBytes = 0;
  for (const AnnouncedStep& step : steps) payloadBytes += step.payload.size();
  payloads.reserve(payloadBytes);
}

}  // namespace

void JournalWriter::Announce(const std::vector<AnnouncedStep>& steps) {
  // Steps written ahead before and not begun never will be.
  waiting_ += AbandonAhead();
  foreseen_.clear();
  next_ = 0;
  if (!deferDone_ || !runFile_ || steps.size() < 2) return;
  const long seqBefore = seq_;
  // Written after the records that wait, in their room.
  RecordBuffer& records = waiting_;
  const std::size_t waiting = records.size();
  std::string payloads;
  MakeRoom(steps, payloads);
  std::vector<std::string> newFolders;
  // Settling judges each unsettled step alone: no two may share a file.
  BatchFiles files(steps.size());
  for (const AnnouncedStep& step : steps) {
    const std::string& source = *step.source;
    const FileIdentity& known = step.known;
    StepIdentity id{true, known.size, known.modified, known.device, known.inode};
    AddFileSystem(id, source);
    if (step.op != FileOp::kTag || source != *step.target || step.payload.empty() ||
        !id.inodeStable || !files.Add(source, known)) {
      break;
    }
    bool stable = false;
    FolderRecords(records, source, source, &stable, &newFolders);
    if (!stable) break;
    const auto length = static_cast<std::int64_t>(step.payload.size());
    const JournalPayload stored{true, runFileSize_ + static_cast<std::int64_t>(payloads.size()),
                                length, Crc32c(step.payload)};
    payloads += step.payload;
    Ahead& ahead = ahead_.emplace_back(++seq_, foreseen_.size(), id, /*plain=*/false);
    FormatIdentityFields(ahead.idText, id);
    foreseen_.push_back({step.op, step.source, step.target});
    AppendIntent(records, seq_, step.op, source, source, ahead.idText, stored);
  }
  if (!ahead_.empty()) {
    Error error = runFile_->WriteAt(runFileSize_, payloads.data(), payloads.size());
    if (!error) error = Flush(static_cast<long>(ahead_.size()), /*report=*/false);
    if (!error) {
      runFileSize_ += static_cast<std::int64_t>(payloads.size());
      return;
    }
    (void)runFile_->Truncate(runFileSize_);
  }
  // Nothing was written ahead: each step is announced alone at its intent,
  // which reports what fails then.
  records.Truncate(waiting);
  ahead_.clear();
  aheadStart_ = 0;
  foreseen_.clear();
  seq_ = seqBefore;
  for (const std::string& folder : newFolders) ForgetFolder(folder);
}

}  // namespace velmora
