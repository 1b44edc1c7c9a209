// `velmora-cli undo`: the journal's undo with its output on the terminal.
#pragma once

#include "cli/console.h"
#include "engine/run_dialogs.h"
#include "services/journal.h"

namespace velmora::cli {

struct CliOptions;

// The journal --journal names, else the default one. With forWriting the
// default journal's folder is made (a failure is reported by the first write).
std::string JournalPathOf(const CliOptions& options, bool forWriting = false);

// Takes back every run of contents (read from file) newest first, only the
// newest when lastRunOnly, asking dialogs for each step; names what stays.
void UndoJournalSteps(JournalFile& file, JournalContents& contents, bool lastRunOnly,
                      RunDialogs& dialogs, Reporting& reporting);

// Before a run: names each interrupted run of the journal file on standard
// error with how to take it back or dismiss it. With yesAll the run goes on;
// on a terminal the user is asked. Returns false when the run must not start.
bool WarnOfInterruptedRuns(JournalFile& file, bool yesAll);

// `velmora-cli undo --dismiss RUN`: ends the interrupted run without undoing
// it. Returns the exit status.
int DismissRun(JournalFile& file, const JournalContents& contents, const std::string& run);

}  // namespace velmora::cli
