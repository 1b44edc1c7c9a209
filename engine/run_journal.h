// The hooks a run and an undo call around each file operation, so that a
// journal can record an intent before the disk changes and a done record
// after it, and a run can be stopped between steps. The command line and the
// window implement them; a run without them (tests, plans) passes null.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

// What one file operation does, as a journal records it.
enum class FileOp {
  kRename,  // a rename in place (also into and out of a rename temporary)
  kMove,    // a move into another folder
  kCopy,    // a copy; the source stays
  kTag,     // a tag written into source (target is the same path)
};

// A step a run expects to take, as its plan foresees it. The paths belong to
// the plan, which outlives the run.
struct ForeseenStep {
  FileOp op = FileOp::kRename;
  const std::string* source = nullptr;
  const std::string* target = nullptr;
};

// A step whose intent a journal may write ahead of it: the file as the run
// has just looked at it and the step's payload, as Intent would get them.
struct AnnouncedStep {
  FileOp op = FileOp::kTag;
  const std::string* source = nullptr;
  const std::string* target = nullptr;
  FileIdentity known;
  std::string_view payload;
};

class RunJournal {
 public:
  virtual ~RunJournal() = default;

  // Before the first operation: the steps the run expects to take, in its
  // order, as far as its plan tells; empty once the run is over. A journal
  // may write several intents in one write ahead of their steps; the run
  // still calls Intent before each step, and may take others.
  virtual void Foresee(std::vector<ForeseenStep> /*steps*/) {}

  // The steps the run takes next, in order, each on a file no other of them
  // touches; their strings outlive the steps. A journal may write their
  // intents, payloads included, in one write ahead of them. The run still
  // calls Intent before each with the same arguments; a step it leaves out
  // is recorded as never begun.
  virtual void Announce(const std::vector<AnnouncedStep>& /*steps*/) {}
  // True when the journal looked at source for this very step as it wrote
  // the step's intent ahead, and found a file there (a link to one counts);
  // known is what it found. The run then takes the step without a look of
  // its own and looks only when the operation fails.
  virtual bool LookedAhead(FileOp /*op*/, const std::string& /*source*/,
                           const std::string& /*target*/, FileIdentity& /*known*/) {
    return false;
  }

  // Before the disk changes: source is to become target. An error stops the
  // run before this operation; the journal has reported it. known is the
  // source as the run has just looked at it (null when it did not). payload
  // is what undo needs beyond the paths (a tag write's packed edits).
  virtual Error Intent(FileOp op, const std::string& source, const std::string& target,
                       const FileIdentity* known, std::string_view payload = {}) = 0;

  // After the operation went through. An error stops the run before the next
  // operation; the journal has reported it.
  virtual Error Done(FileOp op, const std::string& source, const std::string& target) = 0;
  // The same, with the identity of the file the operation made, as the
  // operation itself saw it.
  virtual Error DoneAs(FileOp op, const std::string& source, const std::string& target,
                       const FileIdentity& /*made*/) {
    return Done(op, source, target);
  }

  // The operation announced by the last Intent did not happen.
  virtual void Abandoned(FileOp op, const std::string& source, const std::string& target) = 0;

  // The run is over: a journal that began it on the first operation ends it.
  virtual void Finished() {}
};

// Asked between steps: true once the user wants the run to stop (the
// window's "Abbrechen", Ctrl+C in a terminal).
class StopSignal {
 public:
  virtual ~StopSignal() = default;
  virtual bool StopRequested() = 0;
};

}  // namespace velmora
