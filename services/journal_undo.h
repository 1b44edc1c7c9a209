// Taking the steps of a journal back, newest first, trusting only what the
// journal recorded: a step is taken back when the file at its new path is
// still the one the step produced, and no other file is ever deleted or
// overwritten. The command line and the window share it.
#pragma once

#include <string>
#include <vector>

#include "engine/batch_run_state.h"
#include "services/journal.h"

namespace velmora {

// What an undo tells its front end besides questions, messages and failures.
class UndoOutput : public CommitObserver {
 public:
  // A copy was removed.
  virtual void Removed(const std::string& path) = 0;
  // A run's steps stay because the run still goes on in another process.
  virtual void RunStays(const std::string& run) = 0;
};

struct UndoServices {
  RunDialogs& dialogs;
  MessageSink& messages;
  ErrorReporter& reporter;
  LogWriter& log;
  UndoOutput& output;
  StopSignal* stop = nullptr;  // asked between steps
};

// True when run has a step left to take back.
bool RunHasSteps(const JournalContents& contents, const std::string& run);

// The runs to take back, newest first: every run with steps left that is not
// still going on in another process (output is told of those, and reporter,
// when given, of a run whose liveness could not be told: it stays too), only
// the newest such run when lastRunOnly.
std::vector<std::string> RunsToUndo(JournalFile& file, const JournalContents& contents,
                                    bool lastRunOnly, UndoOutput& output,
                                    ErrorReporter* reporter = nullptr);

// The runs of contents that ended without an end record, are not going on and
// were not dismissed, with steps left to take back; oldest first.
std::vector<JournalRun> InterruptedRuns(JournalFile& file, const JournalContents& contents);

// Walks the steps of runs (ids of runs of contents, read from file) newest
// first, asking dialogs for each; "&Alle" covers these runs only. Every step
// that cannot be taken back (its file gone, changed or not provably the
// same, or a look at it failed) stays in the journal and is named; at the
// end the journal is compacted. A journal that cannot be written stops the walk.
// Returns the number of steps left in the journal, -1 when it could not be
// written at all.
int UndoJournalRuns(JournalFile& file, JournalContents& contents,
                    const std::vector<std::string>& runs, UndoServices& services);

}  // namespace velmora
