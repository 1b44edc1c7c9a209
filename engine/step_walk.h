// The walk over the found list that a run and its plan share: list order,
// the slots chained through the name each file really has, the numbering
// counter with its give-back for declined and empty steps, and what each
// answer of `Dialog` does. The caller supplies what happens around each step
// (record, ask, commit), so a run and its plan cannot come to different names.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/commit.h"

namespace velmora {

class StepActions {
 public:
  virtual ~StepActions() = default;

  // Entry k of the list is reached, marked or not.
  virtual void Reached(std::size_t k) = 0;

  // The active slot has computed target ("" = not applicable) for the file
  // now at source, before the question. An error returned here ends the
  // walk with it.
  virtual Error Computed(int slot, const std::string& source, const std::string& target) = 0;

  // The name a plan made over the same job and files gave this step, when it
  // is bound to be the one the slot computes for the file now at source;
  // null to have the walk compute it. Never asked for a numbering slot: its
  // counter follows the answers.
  virtual const std::string* Planned(int /*slot*/, const std::string& /*source*/) {
    return nullptr;
  }

  // The answer of `Dialog` for a step with a result; asked only until
  // "&Alle" was given. A closed window counts as "&Abbrechen".
  virtual Answer Ask(const std::string& source, const std::string& target) = 0;

  // A confirmed step with a result: the file at source is to get the path
  // target. Only kCommitted moves the walk on to the new name; kStopRun
  // ends the walk.
  virtual CommitResult Commit(const std::string& source, const std::string& target) = 0;

  // Takes a step of this walk back: the file at from returns to to.
  virtual CommitResult TakeBack(const std::string& /*from*/, const std::string& /*to*/) {
    return CommitResult::kNotCommitted;
  }

  // Asked before each step: true ends the walk there.
  virtual bool StopRequested() { return false; }
};

// Walks the marked entries in list order, applying the active slots one
// after the other, until the end, "&Abbrechen" or a stop request. A stop
// never leaves a file between its slots: after "&Alle" the file's remaining
// steps go through, otherwise its earlier ones are taken back. Starts
// numbering afresh. Out-of-range slot codes count as 0. Returns the error
// that ended the walk, if any.
Error WalkSteps(RunState& state, const RenameJob& job, const std::vector<FoundEntry>& found,
                StepActions& actions);

}  // namespace velmora
