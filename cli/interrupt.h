// Ctrl+C and SIGTERM in velmora-cli. A signal ends the program at once, its
// partial copies deleted and its rename temporaries moved back
// (services/crash_guard.h). While a run's StepStop lives, the first Ctrl+C
// or a closed terminal (SIGHUP) only asks the run to stop after the step in
// progress; a second Ctrl+C, or SIGTERM, still ends it at once.
#pragma once

#include "engine/run_journal.h"

namespace velmora::cli {

// Installs the handler for SIGINT, SIGTERM and SIGHUP.
void InstallInterruptHandler();

// The run's stop request: true once Ctrl+C was pressed or the terminal
// closed during the run.
class StepStop : public StopSignal {
 public:
  StepStop();
  ~StepStop() override;
  StepStop(const StepStop&) = delete;
  StepStop& operator=(const StepStop&) = delete;
  bool StopRequested() override;
};

// After a run that a signal stopped, ends the program through that signal as
// the shell expects of an interrupted command; otherwise returns.
void EndIfInterrupted();

}  // namespace velmora::cli
