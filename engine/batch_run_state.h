// The main window's run variables and the services a run talks to. One
// RunState lives as long as the window; runs and undo read and write it.
#pragma once

#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "engine/job.h"
#include "engine/run_dialogs.h"
#include "engine/run_journal.h"

namespace velmora {

class RunGuard;

struct RunState {
  NameContext context;  // run kind, destPath, numberCounter, numberWidth
  // "&Alle" in `Dialog2` during this run or undo: later targets the plan
  // showed are deleted without asking.
  bool deleteAll = false;
  RunGuard* guard = nullptr;  // set while a run goes; undo has none
  // "Ketten auflösen": renames and moves onto another marked file's name
  // are ordered (cycles broken through a rename temporary), not refused.
  bool resolveChains = false;
};

// Told of each file operation of a run or an undo that went through, so a
// front end can show what was done.
class CommitObserver {
 public:
  virtual ~CommitObserver() = default;
  // The file that was at source is now (moved or copied) at destination.
  virtual void Committed(const std::string& source, const std::string& destination) = 0;
};

// Everything a run or an undo talks to. progress, committed, journal,
// stop and planDisk may be null; without planDisk a run has no plan, and
// "&Alle" in `Dialog2` deletes nothing without asking.
struct RunServices {
  FileSystem& fileSystem;
  RunDialogs& dialogs;
  MessageSink& messages;
  ErrorReporter& reporter;
  LogWriter& log;
  ProgressBar* progress = nullptr;
  CommitObserver* committed = nullptr;
  RunJournal* journal = nullptr;   // told before and after each file operation
  StopSignal* stop = nullptr;      // asked between steps
  FileSystem* planDisk = nullptr;  // what a run plans over when it starts
};

// Clears the run kind and deleteAll. The window also stops a search in
// progress and sets the progress minimum to 0.
void ResetRunFlags(RunState& state);

}  // namespace velmora
