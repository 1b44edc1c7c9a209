// One file operation of a run or an undo: rename, move or copy by the run
// kind, with the overwrite question when the new name is taken.
#pragma once

#include <string>

#include "engine/batch_run_state.h"

namespace velmora {

// The five-line text naming a failed commit: "Konnte ", source, " nicht zu ",
// destination, "umbenennen", joined by CR LF.
std::string CommitFailureText(const std::string& source, const std::string& destination);

// How a commit ended: the file now has the new path; it has not (missing
// source, kept target, failure); or the journal failed and the run must stop.
enum class CommitResult { kCommitted, kNotCommitted, kStopRun };

// Gives source the path destination by state.context.kind. A missing source
// passes silently; a destination naming the source file itself is never
// deleted (same text: nothing to do; other spelling of the same file:
// renamed in place; another link: refused). During a run (state.guard set)
// a target the run still needs is refused, and "&Alle" in `Dialog2` applies
// only to the targets its plan showed; any other existing target goes
// through `Dialog2`. Refusals and other failures are reported at
// Location::kCommit. With a journal, each file operation is announced before and recorded
// after it; a step that went through before the journal failed is still
// told to services.committed.
CommitResult CommitFile(RunState& state, const std::string& source, const std::string& destination,
                        RunServices& services);

// One file operation between the journal's intent and done records. stop is
// set when the journal failed: the operation then did not happen (the
// journal's error is returned), or happened and could not be recorded (no
// error). known is the source as just looked at.
Error Journaled(FileOp op, const std::string& source, const std::string& target,
                RunServices& services, bool& stop, const FileIdentity* known = nullptr);

// Moves the file at source to a free rename temporary beside it, journaled
// and held for the crash handler (released once the file leaves it); temp
// is set to its path.
Error MoveToTemporary(const std::string& source, std::string& temp, RunServices& services,
                      bool& stop);

// Moves the file a step of this run put at from back to to, journaled; a copy
// is not taken back (its original stays).
// Failures are reported.
CommitResult TakeBackStep(RunState& state, const std::string& from, const std::string& to,
                          RunServices& services);

// Reports a step refused because its target is a file the run still needs.
void ReportRefusedStep(const std::string& source, const std::string& destination,
                       RunServices& services);

// Deletes the file at target unless it is the file source itself. Failures
// are reported at Location::kDeleteTarget. Returns true when the file was deleted.
bool DeleteTarget(const std::string& target, const std::string& source, RunServices& services);

}  // namespace velmora
