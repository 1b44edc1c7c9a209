// JournalFile: dropping old records by deleting whole segments, so that
// trimming costs what it drops, not what the journal holds.
#include <unordered_set>

#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/journal_lock.h"

namespace velmora {
namespace {

std::size_t CountIntents(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\nI\t"); at != std::string_view::npos;
       at = text.find("\nI\t", at + 3)) {
    ++count;
  }
  return count;
}

// True when text holds a record of run, of one of letters when given.
bool MentionsRun(std::string_view text, const std::string& run, std::string_view letters = {}) {
  const std::string needle = '\t' + run + '\t';
  for (std::size_t at = text.find(needle); at != std::string_view::npos;
       at = text.find(needle, at + 1)) {
    if (at >= 2 && text[at - 2] == '\n' &&
        (letters.empty() || letters.find(text[at - 1]) != std::string_view::npos)) {
      return true;
    }
  }
  return false;
}

// The sealed segments and the current one (last), read as needed.
class SegmentTexts {
 public:
  SegmentTexts(FileSystem& disk, const std::string& journalPath)
      : disk_(disk), paths_(SegmentPaths(disk, journalPath)) {
    paths_.push_back(journalPath);
    texts_.resize(paths_.size());
    read_.resize(paths_.size());
  }
  [[nodiscard]] std::size_t size() const { return paths_.size(); }
  [[nodiscard]] const std::string& path(std::size_t i) const { return paths_[i]; }
  const std::string& Text(std::size_t i) {
    if (!read_[i]) {
      bool missing = false;
      (void)ReadOwnFile(disk_, paths_[i], texts_[i],
                        missing);  // unreadable counts as empty
      read_[i] = true;
    }
    return texts_[i];
  }
  void Forget(std::size_t i) { texts_[i] = std::string(); }
  // True when a segment after i holds a record of run (of letters).
  bool Later(std::size_t i, const std::string& run, std::string_view letters = {}) {
    for (std::size_t j = i + 1; j < size(); ++j) {
      if (MentionsRun(Text(j), run, letters)) return true;
    }
    return false;
  }

 private:
  FileSystem& disk_;
  std::vector<std::string> paths_;
  std::vector<std::string> texts_;
  std::vector<bool> read_;
};

// True when every run with a record in segment i has ended or was
// dismissed, by a record there or in a later segment.
bool SegmentOver(SegmentTexts& segments, std::size_t i, std::vector<std::string>& runs) {
  JournalContents contents;
  JournalParser parser(contents);
  JournalParser::Segment seen;
  if (parser.Add(segments.Text(i), segments.path(i), &seen)) return false;
  for (const JournalRun& run : contents.runs) {
    if (run.ended.empty() && !segments.Later(i, run.id, "EX")) return false;
  }
  runs.assign(seen.runs.begin(), seen.runs.end());
  return true;
}

}  // namespace

Error JournalFile::Trim(std::size_t maxSteps) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  SegmentTexts segments(*disk_, path_);
  if (segments.size() == 1) return {};  // only the current segment, never trimmed
  // Newest first: the segments older than the newest maxSteps steps may go.
  std::size_t newer = 0;
  std::size_t mayGo = 0;
  for (std::size_t i = segments.size(); i-- > 0;) {
    if (newer >= maxSteps) {
      mayGo = i + 1;
      break;
    }
    newer += CountIntents(segments.Text(i));
  }
  for (std::size_t i = 0; i < mayGo; ++i) {
    std::vector<std::string> runs;
    if (!SegmentOver(segments, i, runs)) break;
    if (Error error = disk_->Delete(segments.path(i))) return error;
    segments.Forget(i);
    for (const std::string& run : runs) {
      if (!segments.Later(i, run)) (void)disk_->Delete(RunFilePath(path_, run));
    }
  }
  return {};
}

Error JournalFile::Compact(int* stepsLeft) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  if (stepsLeft != nullptr) *stepsLeft = 0;
  JournalContents contents;
  bool missing = false;
  std::vector<SegmentInfo> segments;
  const Error error = ReadLocked(contents, missing, &segments);
  if (missing || error) return missing ? Error{} : error;
  std::unordered_set<std::string> busy;  // something left to take back, or going on
  for (const JournalStep& step : contents.steps) {
    if (step.state != StepState::kPending && step.state != StepState::kDone) continue;
    busy.insert(step.run);
    if (stepsLeft != nullptr) ++*stepsLeft;
  }
  for (const JournalRun& run : contents.runs) {
    if (RunInProgress(*disk_, path_, run)) busy.insert(run.id);
  }
  std::unordered_set<std::string> kept;
  std::unordered_set<std::string> dropped;
  for (const SegmentInfo& segment : segments) {
    bool drop = !segment.seen.foreign && !segment.seen.damaged;
    for (const std::string& run : segment.seen.runs) drop = drop && busy.count(run) == 0;
    // The current segment stays, empty, so that the journal keeps its name.
    if (drop && (segment.path == path_ ? !Replace(std::string(kJournalHeader) + '\n')
                                       : !disk_->Delete(segment.path))) {
      dropped.insert(segment.seen.runs.begin(), segment.seen.runs.end());
    } else {
      kept.insert(segment.seen.runs.begin(), segment.seen.runs.end());
    }
  }
  for (const std::string& run : dropped) {
    if (kept.count(run) == 0) (void)disk_->Delete(RunFilePath(path_, run));
  }
  // An interrupted run with nothing left to take back ends here, so that
  // trimming may drop its segments.
  std::string ends;
  for (const JournalRun& run : contents.runs) {
    if (run.ended.empty() && busy.count(run.id) == 0 && kept.count(run.id) != 0) {
      ends += FrameRecord("E\t" + run.id + '\t' + JournalNow());
    }
  }
  return ends.empty() ? Error{} : AppendLocked(ends, /*held=*/false);
}

}  // namespace velmora
