// The part of a run that resolves chains and cycles: the plan's order walked
// with the run's questions, commits, undo records and log. Internal to the
// batch run.
#pragma once

#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/plan.h"

namespace velmora {

// The nine log lines of one step: the file at source is to get the path target.
void WriteStepLog(RunKind kind, const RenameJob& job, int slot, const std::string& source,
                  const std::string& target, LogWriter& log);

// Runs plan.order (the plan made with chains resolved, steps included).
// The undo store gets one record per file move that went through, parkings
// included, so that undo never meets a name still taken. Returns the error
// that ended the run, if any.
Error RunResolved(RunState& state, const RenameJob& job, const RunPlan& plan,
                  const std::vector<FoundEntry>& found, RunServices& services, bool logOn);

}  // namespace velmora
