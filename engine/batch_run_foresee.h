// The steps a run expects to take, read from its plan, for a journal that
// writes intents ahead of their steps.
#pragma once

#include <vector>

#include "engine/plan.h"
#include "engine/run_journal.h"

namespace velmora {

// The plan's steps that move a file, in the order the run takes them (its
// turns when chains are resolved), leaving out refused ones and those of a
// parked row, which start from a rename temporary. Points into plan.
std::vector<ForeseenStep> ForeseenSteps(const RunPlan& plan, RunKind kind);

}  // namespace velmora
