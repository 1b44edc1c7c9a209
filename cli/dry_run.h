// --dry-run and --check: the plan of a run as if every question were
// answered "&Ja" (with --yes-all: as --yes-all and --overwrite-all answer
// without a terminal), computed by the engine over the real disk without
// touching it, and printed the way a run prints its steps.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "engine/batch_run.h"
#include "engine/plan.h"
#include "services/posix_file_system.h"

namespace velmora::cli {

// The plan of a kind run of job over the marked entries of found, copy and
// move going into destPath (ending in the separator), with the answers of
// options: chains ordered as --no-resolve-chains says, and with --yes-all
// but without --overwrite-all a taken target kept and its step left out.
// The run takes the same plan. Without withSteps only what the run needs.
// searched is the disk that searched and pinned the folders: a searched
// folder it still holds unchanged is not listed again.
RunPlan PlanWithAnswers(RunKind kind, const CheckedJob& job, const std::vector<FoundEntry>& found,
                        const std::string& destPath, const CliOptions& options, bool withSteps,
                        PosixFileSystem& searched);

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
