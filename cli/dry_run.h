// --dry-run and --check: the plan of a run as if every question were
// answered "&Ja" (with --yes-all: as --yes-all and --overwrite-all answer
// without a terminal), computed by the engine over the real disk without
// touching it, and printed the way a run prints its steps.
#pragma once

#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/plan.h"

namespace velmora::cli {

// The plan of a kind run of job over the marked entries of found, copy and
// move going into destPath (ending in the separator). With resolveChains, chains and cycles are
// ordered; with keepExisting, a taken target is kept and its step left out.
RunPlan PlanOnDisk(RunKind kind, const CheckedJob& job, const std::vector<FoundEntry>& found,
                   const std::string& destPath, bool resolveChains = true,
                   bool keepExisting = false);

// The line that opens a printed plan with --yes-all: which answers it assumed.
std::string AssumedAnswersText(bool overwriteAll);

// Prints each step that would go through as "OLD -> NEW" on standard output;
// a step in conflict (and the last step of an entry whose file another step
// overwrites) is followed by two blanks and its state word in brackets.
// With onlyConflicts, only those lines. Each failure the run would report
// goes to standard error in the window's text, and the summary "N
// Änderungen, K Konflikte" ends it there.
void PrintPlan(const RunPlan& plan, bool onlyConflicts);

}  // namespace velmora::cli
