// What a run that changes files tells on standard error besides its steps:
// a progress line on a terminal once the run takes longer than a second, and
// the one-line summary at the end ("velmora-cli: 12 umbenannt, 1 Fehler,
// 0 ausgelassen").
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/console.h"
#include "engine/batch_run_state.h"
#include "engine/name_table.h"
#include "engine/path_notes.h"
#include "engine/run_dialogs.h"

namespace velmora::cli {

// What the summary counts, under the word of the command.
enum class SummaryKind { kRenamed, kCopied, kMoved, kTagged, kUndone };

// The progress line: "\r" and "velmora-cli: 4.120 von 20.000", shown on
// standard error when it is a terminal, from a second after the start,
// at most ten times a second; Clear takes it away before the summary.
class ProgressLine : public ProgressBar {
 public:
  ProgressLine();
  void SetMaximum(int maximum) override { maximum_ = maximum; }
  void SetValue(int value) override;
  void Clear();

 private:
  bool terminal_;
  bool shown_ = false;
  int maximum_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastShown_;
};

// Counts the files a run moved, copied or renamed (a file's later steps,
// through a rename temporary or a further slot, count with its first) and
// the questions answered "Nein", passing everything on; shows the progress
// over count entries.
class RunTally : public CommitObserver, public RunDialogs {
 public:
  RunTally(CommitObserver& committed, RunDialogs& dialogs, std::size_t count);

  void Committed(const std::string& source, const std::string& destination) override;
  Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) override;
  Answer AskDialog2(const std::string& target) override { return dialogs_.AskDialog2(target); }
  Answer AskDialog2Unplanned(const std::string& target) override {
    return dialogs_.AskDialog2Unplanned(target);
  }

  ProgressLine& progress() { return progress_; }
  // The summary of a kind run: files done, failures reported, and the steps
  // left out (a message) or declined.
  void PrintSummary(RunKind kind, const Reporting& reporting);

 private:
  ProgressLine progress_;
  CommitObserver& committed_;
  RunDialogs& dialogs_;
  // Counts the noted steps into done_; final: no step comes after.
  void CatchUp(bool final = false);
  [[nodiscard]] bool MayHaveMade(std::uint64_t hash) const;

  // Each step's destination and, where an earlier step may have made it, its
  // source, noted as they come and counted at the end: a table of names
  // looked up between two renames is cold each time, one filled at the end
  // stays in the cache.
  PathNotes notes_;
  NameTable<char> reached_;  // names a counted step made
  // A Bloom filter of the destinations so far: a source it has not seen is
  // no step's, and its step counts at once, unnoted. A few bits a file keep
  // it in the cache.
  std::vector<std::uint64_t> made_;
  bool sourceNoted_ = false;  // since the last catch-up
  bool caughtUp_ = false;     // reached_ holds every name made before the notes
  std::size_t count_ = 0;     // files the run has
  int done_ = 0;
  int declined_ = 0;
};

// Writes "velmora-cli: N umbenannt, F Fehler, S ausgelassen" (the word of
// kind) to standard error; nothing when all three are 0.
void PrintRunSummary(SummaryKind kind, int done, int failures, int skipped);

}  // namespace velmora::cli
