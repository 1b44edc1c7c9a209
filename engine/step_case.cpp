#include "engine/step_case.h"

namespace velmora {

StepCase DecideStep(const std::string& source, const std::string& target, StepSight& sight) {
  if (source == target) return StepCase::kNothing;
  if (sight.SourceMissing()) return StepCase::kMissingSource;
  if (sight.Refusal()) return StepCase::kFails;
  // The source itself under another name is never deleted: decided for this
  // very step by name and identity, never by the mount type.
  if (sight.SameFileOtherSpelling()) return StepCase::kSameFile;
  if (sight.OtherLink()) return StepCase::kOtherLink;
  if (sight.Needed()) return StepCase::kNeeded;
  return sight.Taken() ? StepCase::kTaken : StepCase::kFree;
}

}  // namespace velmora
