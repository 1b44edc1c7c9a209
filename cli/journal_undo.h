// Taking the steps of a journal back, newest first, trusting only what the
// journal recorded: a step is taken back when the file at its new path is
// still the one the step produced, and no other file is ever deleted or
// overwritten.
#pragma once

#include "cli/console.h"
#include "cli/journal.h"
#include "engine/run_dialogs.h"

namespace velmora::cli {

// Walks the steps of contents (read from file) newest first, those of the
// newest run only when lastRunOnly, asking dialogs for each. Every step that
// cannot be taken back stays in the journal and is reported; at the end the
// journal is compacted and what stays is named. A journal that cannot be
// written stops the walk; failures go to reporting.
void UndoJournalSteps(JournalFile& file, JournalContents& contents, bool lastRunOnly,
                      RunDialogs& dialogs, Reporting& reporting);

}  // namespace velmora::cli
