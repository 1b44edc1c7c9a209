// What one step of a run does, decided in one place for the run's commit and
// for its plan. Each asks its own disk, the real one after an attempt or the
// plan's model before it, through a StepSight; DecideStep asks in a fixed
// order and stops at the first answer, so the commit makes no system call
// the decision does not need.
#pragma once

#include <string>

#include "engine/error_reporter.h"

namespace velmora {

enum class StepCase {
  kNothing,        // source and target are one path: the step is done
  kMissingSource,  // no file at source: the run passes over it silently
  kFails,          // the target's folder or name is refused (StepSight::Refusal)
  kSameFile,       // the target is the source under another spelling: renamed
                   // in place, and a copy is already there
  kOtherLink,      // the target is another link of the source: refused
  kNeeded,         // the target is a file the run still needs: refused
  kTaken,          // the target is a file outside the run: `Dialog2` asks
  kFree,           // nothing is in the way
};

// What the disk holds for one step. Each question is asked at most once and
// only when the ones before it said no.
class StepSight {
 public:
  virtual ~StepSight() = default;
  virtual bool SourceMissing() = 0;
  // The failure the disk gives the target (folder missing, folder in the way,
  // a name too long or refused), or no error.
  virtual Error Refusal() = 0;
  virtual bool SameFileOtherSpelling() = 0;
  virtual bool OtherLink() = 0;
  virtual bool Needed() = 0;
  virtual bool Taken() = 0;
};

StepCase DecideStep(const std::string& source, const std::string& target, StepSight& sight);

}  // namespace velmora
