// JournalWriter: the intents of steps announced with their payloads (tag
// writes), written in one write ahead of them with their payloads in one
// write to the run file.
#include <set>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_format.h"

namespace velmora {

void JournalWriter::Announce(const std::vector<AnnouncedStep>& steps) {
  // Steps written ahead before and not begun never will be.
  waiting_ += AbandonAhead();
  foreseen_.clear();
  next_ = 0;
  if (!deferDone_ || !runFile_ || steps.size() < 2) return;
  const long seqBefore = seq_;
  std::string records, payloads;
  std::vector<std::string> newFolders;
  // Settling judges each unsettled step alone: no two may share a file.
  std::unordered_set<std::string_view> paths;
  std::set<std::pair<std::uint64_t, std::uint64_t>> files;
  for (const AnnouncedStep& step : steps) {
    const std::string& source = *step.source;
    const FileIdentity& known = step.known;
    StepIdentity id{true, known.size, known.modified, known.device, known.inode};
    AddFileSystem(id, source);
    if (step.op != FileOp::kTag || source != *step.target || step.payload.empty() ||
        !id.inodeStable || !paths.insert(source).second ||
        !files.insert({known.device, known.inode}).second) {
      break;
    }
    bool stable = false;
    records += FolderRecords(source, source, &stable, &newFolders);
    if (!stable) break;
    const auto length = static_cast<std::int64_t>(step.payload.size());
    const JournalPayload stored{true, runFileSize_ + static_cast<std::int64_t>(payloads.size()),
                                length, Crc32c(step.payload)};
    payloads += step.payload;
    Ahead& ahead = ahead_.emplace_back();
    ahead.seq = ++seq_;
    ahead.index = foreseen_.size();
    ahead.id = id;
    FormatIdentityFields(ahead.idText, id);
    foreseen_.push_back({step.op, step.source, step.target});
    AppendIntent(records, seq_, step.op, source, source, ahead.idText, stored);
  }
  if (!ahead_.empty()) {
    Error error = runFile_->WriteAt(runFileSize_, payloads.data(), payloads.size());
    if (!error) error = Write(records, /*report=*/false);
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
