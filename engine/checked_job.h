// The job a run and its plan take: checked once, before anything is planned
// or run, so that the slot check's message shows once per run.
#pragma once

#include <optional>

#include "engine/job.h"

namespace velmora {

// A job whose slot inputs CheckSlotInputs accepted, with out-of-range slot
// codes set to 0 (the codes the window then shows). Only CheckJob makes one.
class CheckedJob {
 public:
  [[nodiscard]] const RenameJob& job() const { return job_; }

 private:
  explicit CheckedJob(RenameJob job) : job_(std::move(job)) {}
  friend std::optional<CheckedJob> CheckJob(RenameJob job, MessageSink& messages);

  RenameJob job_;
};

// The job, checked; nothing when CheckSlotInputs refuses it (its message
// then went to messages).
std::optional<CheckedJob> CheckJob(RenameJob job, MessageSink& messages);

}  // namespace velmora
