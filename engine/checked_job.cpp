#include "engine/checked_job.h"

namespace velmora {

std::optional<CheckedJob> CheckJob(RenameJob job, MessageSink& messages) {
  if (!CheckSlotInputs(job, messages)) return std::nullopt;
  for (int& code : job.slotCode) {
    if (code < 1 || code >= kOperationCount) code = 0;
  }
  return CheckedJob(std::move(job));
}

}  // namespace velmora
