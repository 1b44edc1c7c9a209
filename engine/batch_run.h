// The run over the marked files of the found list: each active slot of the
// job is one confirmed file operation, journaled for undo and, with the log
// on, written to the log.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/batch_run_state.h"
#include "engine/checked_job.h"
#include "engine/job.h"
#include "engine/name_fields.h"

namespace velmora {

struct RunPlan;

// One entry of the found list: the file's full path and whether it is marked.
struct FoundEntry {
  std::string path;
  bool marked = false;
  // What "Name aus Tags" reads, once per search; null until read.
  std::shared_ptr<const FileFields> fields{};
};

// What a run leaves for its caller to show: the job's slot codes as the run
// read them (a code out of range reads 0).
struct RunResult {
  std::array<int, kSlotCount> slotCodes{};
};

// Runs the checked job over the marked entries as state.context.kind says
// (copy and move into state.context.destPath, ending in the separator). Stops
// when the user cancels. Failures are reported, never returned: the
// operations' through state.context.reporter, the others' through
// services.reporter. The run follows plan, made by PlanRun over the same job
// and files for the answers the run's dialogs give; without one it plans
// over services.planDisk when it starts. With state.resolveChains and a plan
// whose list order would refuse a step onto another marked file, the run
// follows the plan's order instead.
void RunBatch(RunState& state, const CheckedJob& job, const std::vector<FoundEntry>& found,
              RunServices& services, bool logOn, const RunPlan* plan = nullptr);

// What "Umbenennen", "Kopieren" and "Verschieben" do once the flags are reset
// (ResetRunFlags) and the destination is chosen: set the run kind, RunBatch,
// clear it. Showing the result (a new search) is the caller's.
RunResult RunCommand(RunKind kind, RunState& state, const CheckedJob& job,
                     const std::vector<FoundEntry>& found, RunServices& services, bool logOn,
                     const RunPlan* plan = nullptr);

}  // namespace velmora
