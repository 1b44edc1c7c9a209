// `velmora-cli undo`: the journal's undo with its output on the terminal.
#pragma once

#include "cli/console.h"
#include "engine/run_dialogs.h"
#include "services/journal.h"

namespace velmora::cli {

// Takes back every run of contents (read from file) newest first, only the
// newest when lastRunOnly, asking dialogs for each step; names what stays.
void UndoJournalSteps(JournalFile& file, JournalContents& contents, bool lastRunOnly,
                      RunDialogs& dialogs, Reporting& reporting);

}  // namespace velmora::cli
