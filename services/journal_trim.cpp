// JournalFile: dropping old records by deleting whole segments, so that
// trimming costs what it drops, not what the journal holds.
#include <cctype>
#include <optional>
#include <unordered_set>

#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/journal_lock.h"

namespace velmora {
namespace {

// What trimming needs of a segment: its intents, the runs with a record in
// it and those it ends. Unusable when its header is of no version read.
struct SegmentRuns {
  bool usable = false;
  std::size_t intents = 0;
  std::unordered_set<std::string> runs;
  std::unordered_set<std::string> ended;
};

bool IsRunName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) return false;
  }
  return true;
}

// Version 2 has no checksums and other fields: the reader tells.
void ParsedRuns(std::string_view text, const std::string& name, SegmentRuns& out) {
  JournalContents contents;
  JournalParser parser(contents);
  JournalParser::Segment seen;
  if (parser.Add(text, name, &seen)) return;
  out.usable = true;
  out.intents = contents.steps.size();
  out.runs = std::move(seen.runs);
  for (const JournalRun& run : contents.runs) {
    if (!run.ended.empty()) out.ended.insert(run.id);
  }
}

// One record of a version-3 segment; damaged and foreign ones name no run,
// as for the reader. A record of the run before it adds nothing but its
// intent, so only the others and the ends are checked.
void AddRecord(std::string_view line, SegmentRuns& out, std::string_view& last) {
  if (line.size() < 3 || line[1] != '\t' ||
      std::string_view("BFIDAUEX").find(line[0]) == std::string_view::npos) {
    return;
  }
  const std::size_t tab = line.find('\t', 2);
  const std::string_view run = line.substr(2, tab - 2);
  const bool ends = line[0] == 'E' || line[0] == 'X';
  std::string_view record;
  if (run != last || ends) {
    if (!UnframeRecord(line, record) || tab >= record.size() || !IsRunName(run)) return;
    if (run != last) out.runs.emplace(run);
    last = run;
  }
  if (line[0] == 'I') ++out.intents;
  if (!ends) return;
  const std::string_view time = record.substr(tab + 1);
  std::string unescaped;
  if (time.find('\t') == std::string_view::npos && UnescapeJournalText(time, unescaped) &&
      !unescaped.empty()) {
    out.ended.emplace(run);
  }
}

// Nothing but run names and counts is kept.
SegmentRuns RunsOf(std::string_view text, const std::string& name) {
  SegmentRuns out;
  std::size_t at = text.find('\n');
  std::string_view header = text.substr(0, at);
  while (header.empty() && at != std::string_view::npos) {
    const std::size_t next = text.find('\n', at + 1);
    header = text.substr(at + 1, next - at - 1);
    at = next;
  }
  if (header == kJournalHeaderV2) ParsedRuns(text, name, out);
  if (header != kJournalHeader || at == std::string_view::npos) return out;
  out.usable = true;
  std::string_view last;
  for (++at; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) break;  // a torn tail
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.front() != '#') AddRecord(line, out, last);
  }
  return out;
}

// The sealed segments and the current one (last), each read once as needed
// and kept only as the runs it names.
class Segments {
 public:
  Segments(FileSystem& disk, const std::string& journalPath)
      : disk_(disk), paths_(SegmentPaths(disk, journalPath)) {
    paths_.push_back(journalPath);
    runs_.resize(paths_.size());
  }
  [[nodiscard]] std::size_t size() const { return paths_.size(); }
  [[nodiscard]] const std::string& path(std::size_t i) const { return paths_[i]; }
  const SegmentRuns& Runs(std::size_t i) {
    if (!runs_[i]) {
      bool missing = false;
      (void)ReadOwnFile(disk_, paths_[i], text_, missing);  // unreadable counts as empty
      runs_[i] = text_.empty() ? SegmentRuns{true, 0, {}, {}} : RunsOf(text_, paths_[i]);
    }
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
  std::vector<std::string> paths_;
  std::vector<std::optional<SegmentRuns>> runs_;
  std::string text_;  // one buffer for all: its pages are touched once
};

// True when every run with a record in segment i has ended or was
// dismissed, by a record there or in a later segment.
bool SegmentOver(Segments& segments, std::size_t i) {
  const SegmentRuns& own = segments.Runs(i);
  if (!own.usable) return false;
  for (const std::string& run : own.runs) {
    if (own.ended.count(run) == 0 && !segments.Later(i, run, /*ended=*/true)) return false;
  }
  return true;
}

}  // namespace

Error JournalFile::Trim(std::size_t maxSteps) {
  const Lock lock(*this);
  if (lock.error()) return lock.error();
  Segments segments(*disk_, path_);
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
    if (Error error = disk_->Delete(segments.path(i))) return error;
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
