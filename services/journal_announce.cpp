// JournalWriter: the intents of steps announced with their payloads (tag
// writes), written in one write ahead of them with their payloads in one
// write to the run file.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_format.h"

namespace velmora {
namespace {

// The files of the steps taken into one write so far. A batch is small: a
// look along them beats a node per step.
class BatchFiles {
 public:
  explicit BatchFiles(std::size_t steps) {
    paths_.reserve(steps);
    names_.reserve(steps);
    files_.reserve(steps);
  }
  // False when path or the file (device, inode) was taken before.
  bool Add(const std::string& path, const FileIdentity& file) {
    // A name's length and last eight bytes: names of one folder differ
    // there, so most comparisons end at these two numbers.
    std::uint64_t tail = 0;
    const std::size_t n = std::min<std::size_t>(path.size(), sizeof tail);
    std::memcpy(&tail, path.data() + path.size() - n, n);
    const std::pair<std::size_t, std::uint64_t> name{path.size(), tail};
    for (std::size_t k = 0; k < names_.size(); ++k) {
      if (names_[k] == name && *paths_[k] == path) return false;
    }
    const std::pair<std::uint64_t, std::uint64_t> key{file.device, file.inode};
    if (std::find(files_.begin(), files_.end(), key) != files_.end()) return false;
    paths_.push_back(&path);
    names_.push_back(name);
    files_.push_back(key);
    return true;
  }

 private:
  std::vector<const std::string*> paths_;
  std::vector<std::pair<std::size_t, std::uint64_t>> names_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> files_;
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
  RecordBuffer records;
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
    if (!error) error = Write(records.view(), /*report=*/false, static_cast<long>(ahead_.size()));
    if (!error) {
      runFileSize_ += static_cast<std::int64_t>(payloads.size());
      return;
    }
    (void)runFile_->Truncate(runFileSize_);
  }
  // Nothing was written ahead: each step is announced alone at its intent,
  // which reports what fails then.
  ahead_.clear();
  aheadStart_ = 0;
  foreseen_.clear();
  seq_ = seqBefore;
  for (const std::string& folder : newFolders) ForgetFolder(folder);
}

}  // namespace velmora
