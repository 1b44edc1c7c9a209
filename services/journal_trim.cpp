// JournalFile: dropping old records by deleting whole segments, so that
// trimming costs what it drops, not what the journal holds.
#include <optional>
#include <unordered_set>

#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/journal_lock.h"
#include "services/journal_scan.h"

namespace velmora {
namespace {

// The sealed segments and the current one (last), each read once as needed
// and kept only as the runs it names.
class Segments {
 public:
  Segments(FileSystem& disk, const std::string& journalPath, SegmentScans& scans)
      : disk_(disk), scans_(scans), paths_(SegmentPaths(disk, journalPath)) {
    paths_.push_back(journalPath);
    runs_.resize(paths_.size());
  }
  [[nodiscard]] std::size_t size() const { return paths_.size(); }
  [[nodiscard]] const std::string& path(std::size_t i) const { return paths_[i]; }
  const SegmentScan& Runs(std::size_t i) {
    if (!runs_[i]) runs_[i] = scans_.Of(disk_, paths_[i], /*sealed=*/i + 1 < size());
    return *runs_[i];
  }
  // True when a segment after i holds a record of run (its end with ended).
  bool Later(std::size_t i, const std::string& run, bool ended = false) {
    for (std::size_t j = i + 1; j < size(); ++j) {
      if ((ended ? Runs(j).ended : Runs(j).runs).count(run) != 0) return true;
    }
    return false;
  }

 private:
  FileSystem& disk_;
  SegmentScans& scans_;
  std::vector<std::string> paths_;
  std::vector<std::optional<SegmentScan>> runs_;
};

// True when every run with a record in segment i has ended or was
// dismissed, by a record there or in a later segment.
bool SegmentOver(Segments& segments, std::size_t i) {
  const SegmentScan& own = segments.Runs(i);
  if (!own.usable) return false;
  for (const std::string& run : own.runs) {
    if (own.ended.count(run) == 0 && !segments.Later(i, run, /*ended=*/true)) return false;
  }
  return true;
}

Error DeleteSegment(FileSystem& disk, SegmentScans& scans, const std::string& path) {
  scans.Forget(path);  // a segment that comes by its name later is another
  return disk.Delete(path);
}

// The runs with something left to take back, or going on; stepsLeft adds up
// their open steps.
std::unordered_set<std::string> BusyRuns(FileSystem& disk, const std::string& journalPath,
                                         const JournalContents& contents,
                                         const std::vector<std::size_t>& open, int* stepsLeft) {
  std::unordered_set<std::string> busy;
  for (std::size_t i = 0; i < contents.runs.size(); ++i) {
    const JournalRun& run = contents.runs[i];
    if (open[i] > 0) busy.insert(run.id);
    if (stepsLeft != nullptr) *stepsLeft += static_cast<int>(open[i]);
  }
  for (const JournalRun& run : contents.runs) {
    if (RunInProgress(disk, journalPath, run)) busy.insert(run.id);
  }
  return busy;
}

}  // namespace

Error JournalFile::Trim(std::size_t maxSteps) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  Segments segments(*disk_, path_, *scans_);
  if (segments.size() == 1) return {};  // only the current segment, never trimmed
  // Newest first: the segments older than the newest maxSteps steps may go.
  std::size_t newer = 0;
  std::size_t mayGo = 0;
  for (std::size_t i = segments.size(); i-- > 0;) {
    if (newer >= maxSteps) {
      mayGo = i + 1;
      break;
    }
    newer += segments.Runs(i).intents;
  }
  for (std::size_t i = 0; i < mayGo; ++i) {
    if (!SegmentOver(segments, i)) break;
    if (Error error = DeleteSegment(*disk_, *scans_, segments.path(i))) return error;
    for (const std::string& run : segments.Runs(i).runs) {
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
  // Only how many steps each run has open counts here.
  std::vector<std::size_t> open;
  const Error error = ReadLocked(contents, missing, &segments, &open);
  if (missing || error) return missing ? Error{} : error;
  const std::unordered_set<std::string> busy = BusyRuns(*disk_, path_, contents, open, stepsLeft);
  std::unordered_set<std::string> kept;
  std::unordered_set<std::string> dropped;
  for (const SegmentInfo& segment : segments) {
    bool drop = !segment.seen.foreign && !segment.seen.damaged;
    for (const std::string& run : segment.seen.runs) drop = drop && busy.count(run) == 0;
    // The current segment stays, empty, so that the journal keeps its name.
    if (drop && (segment.path == path_ ? !Replace(std::string(kJournalHeader) + '\n')
                                       : !DeleteSegment(*disk_, *scans_, segment.path))) {
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
  return ends.empty() ? Error{} : AppendLocked(ends, /*held=*/false, nullptr);
}

}  // namespace velmora
