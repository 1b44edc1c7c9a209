#include "engine/commit.h"

#include "engine/batch_run_guard.h"
#include "engine/error_numbers.h"
#include "engine/path.h"
#include "engine/step_case.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

// Any answer but a button of `Dialog2` (a closed window) counts as
// "&Abbrechen", so a stale answer never deletes anything.
Answer AsDeleteAnswer(Answer answer) {
  return answer == Answer::kYes || answer == Answer::kAll ? answer : Answer::kCancel;
}

FileOp OpOf(RunKind kind) {
  if (kind == RunKind::kMove) return FileOp::kMove;
  if (kind == RunKind::kCopy) return FileOp::kCopy;
  return FileOp::kRename;
}

}  // namespace

Error Journaled(FileOp op, const std::string& source, const std::string& target,
                RunServices& services, bool& stop, const FileIdentity* known) {
  RunJournal* journal = services.journal;
  if (journal != nullptr) {
    if (Error error = journal->Intent(op, source, target, known)) {
      stop = true;
      return error;
    }
  }
  FileSystem& fileSystem = services.fileSystem;
  std::optional<FileIdentity> made;
  const Error error = op == FileOp::kCopy ? fileSystem.CopyAndIdentify(source, target, made)
                                          : fileSystem.Move(source, target);
  if (journal != nullptr) {
    if (error) {
      journal->Abandoned(op, source, target);
    } else if (made ? journal->DoneAs(op, source, target, *made)
                    : journal->Done(op, source, target)) {
      stop = true;
    }
  }
  return error;
}

Error MoveToTemporary(const std::string& source, std::string& temp, RunServices& services,
                      bool& stop) {
  const std::string base = services.fileSystem.TemporaryName(source);
  Error error;
  for (int n = 0; n < 100 && !stop; ++n) {
    temp = n == 0 ? base : base + "-" + std::to_string(n);
    error = Journaled(FileOp::kRename, source, temp, services, stop);
    if (error.number != kFileExists) break;
  }
  if (error) return error;
  if (stop) {
    // The journal failed after the move: no file stays under a temporary
    // name; the pending intent reads as not done once the source is back.
    if (!services.fileSystem.GetFile(temp)) (void)services.fileSystem.Move(temp, source);
    return error;
  }
  services.fileSystem.HoldTemporary(temp, source);
  return error;
}

namespace {

Error Perform(RunKind kind, const std::string& source, const std::string& destination,
              RunServices& services, bool& stop, const std::optional<FileIdentity>& known) {
  if (kind == RunKind::kNone) return {};
  return Journaled(OpOf(kind), source, destination, services, stop, known ? &*known : nullptr);
}

// The destination is the source file under another spelling (a file system
// that ignores case). Rename through a visible temporary name in the same
// folder so that the platform never sees the target as taken; the temporary
// is journaled and held for the crash handler, and put back on failure.
Error RenameInPlace(const std::string& source, const std::string& destination,
                    RunServices& services, bool& stop) {
  FileSystem& fileSystem = services.fileSystem;
  std::string temp;
  Error error = MoveToTemporary(source, temp, services, stop);
  if (error || stop) return error;
  error = Journaled(FileOp::kRename, temp, destination, services, stop);
  if (error) {
    // Back to the source name, journaled where the journal still works.
    bool journalFailed = false;
    (void)Journaled(FileOp::kRename, temp, source, services, journalFailed);
    stop = stop || journalFailed;
  }
  // Whatever the journal did, no file stays under a temporary name; where
  // it must, the report says where the file is.
  if (!fileSystem.GetFile(temp) && fileSystem.Move(temp, source)) {
    services.messages.ShowMessage(
        std::string(VELMORA_TEXT("velmora", "Die Datei liegt jetzt unter dem Namen:")) + "\r\n" +
        temp);
  }
  fileSystem.ReleaseTemporary(temp);
  return error;
}

void ReportCommitFailure(const Error& error, const std::string& source,
                         const std::string& destination, RunServices& services) {
  services.reporter.ReportError(Location::kCommit, error.number,
                                CommitFailureText(source, destination), "", error.description);
}

// A step whose target is a file the run must keep: never asked about,
// never deleted; reported (and so logged) with what to do instead.
CommitResult Refuse(const std::string& source, const std::string& destination, const char* why,
                    RunServices& services) {
  services.reporter.ReportError(Location::kCommit, kFileExists,
                                CommitFailureText(source, destination), "", why);
  return CommitResult::kNotCommitted;
}

constexpr char kRefusedSelf[] = VELMORA_TEXT(
    "velmora",
    "Das Ziel ist die Quelldatei selbst unter einem anderen Namen (Verknüpfung). Der Schritt "
    "wurde ausgelassen; die Datei bleibt, wie sie ist.");
constexpr char kRefusedNeeded[] = VELMORA_TEXT(
    "velmora",
    "Das Ziel ist eine Datei, die dieser Lauf noch braucht (eine markierte Datei oder das "
    "Ergebnis eines früheren Schritts). Der Schritt wurde ausgelassen, damit keine Datei "
    "verloren geht. Muster enger fassen oder die Dateien in getrennten Läufen umbenennen.");

void NotifyCommitted(const std::string& source, const std::string& destination,
                     RunServices& services) {
  if (services.committed != nullptr) services.committed->Committed(source, destination);
}

// The journal stopped the run; a step that went through before it failed
// is still shown.
CommitResult Stopped(const Error& error, const std::string& source, const std::string& destination,
                     RunServices& services) {
  if (!error) NotifyCommitted(source, destination, services);
  return CommitResult::kStopRun;
}

}  // namespace

void ReportRefusedStep(const std::string& source, const std::string& destination,
                       RunServices& services) {
  Refuse(source, destination, kRefusedNeeded, services);
}

CommitResult TakeBackStep(RunState& state, const std::string& from, const std::string& to,
                          RunServices& services) {
  if (state.context.kind == RunKind::kCopy) return CommitResult::kNotCommitted;
  const FileOp op = FolderOf(from) == FolderOf(to) ? FileOp::kRename : FileOp::kMove;
  bool stop = false;
  const Error error = Journaled(op, from, to, services, stop);
  if (stop) return Stopped(error, from, to, services);
  if (error) {
    ReportCommitFailure(error, from, to, services);
    return CommitResult::kNotCommitted;
  }
  if (state.guard != nullptr) {
    state.guard->Release(from);
    state.guard->Protect(to);
  }
  NotifyCommitted(from, to, services);
  return CommitResult::kCommitted;
}

std::string CommitFailureText(const std::string& source, const std::string& destination) {
  // Each line is a text of its own, so that it can be translated where shown.
  return std::string(VELMORA_TEXT("velmora", "Konnte ")) + "\r\n" + source + "\r\n" +
         VELMORA_TEXT("velmora", " nicht zu ") + "\r\n" + destination + "\r\n" +
         VELMORA_TEXT("velmora", "umbenennen");
}

bool DeleteTarget(const std::string& target, const std::string& source, RunServices& services) {
  FileSystem& fileSystem = services.fileSystem;
  // The target may be the file being committed under another spelling or
  // another link; deleting it would lose the file. The retry then fails and
  // is reported.
  if (fileSystem.SameFile(target, source)) return false;
  Error error = fileSystem.GetFile(target);
  if (!error) error = fileSystem.Delete(target);
  if (error) {
    services.reporter.ReportError(Location::kDeleteTarget, error.number,
                                  VELMORA_TEXT("velmora", "Fehler beim Löschen"), target,
                                  error.description);
    return false;
  }
  return true;
}

namespace {

// What a failed attempt of a commit found, asked of the real disk.
class AttemptSight : public StepSight {
 public:
  AttemptSight(const Error& error, const RunState& state, const std::string& source,
               const std::string& target, FileSystem& fileSystem)
      : error_(error), state_(state), source_(source), target_(target), fileSystem_(fileSystem) {}
  bool SourceMissing() override { return error_.number == kFileNotFound; }
  Error Refusal() override { return error_.number == kFileExists ? Error{} : error_; }
  bool SameFileOtherSpelling() override {
    return velmora::SameFileOtherSpelling(fileSystem_, source_, target_);
  }
  bool OtherLink() override { return fileSystem_.SameFile(source_, target_); }
  bool Needed() override { return state_.guard != nullptr && state_.guard->Protects(target_); }
  bool Taken() override { return true; }

 private:
  const Error& error_;
  const RunState& state_;
  const std::string& source_;
  const std::string& target_;
  FileSystem& fileSystem_;
};

// The journal's look at the source, taken as the step's own.
bool LookedAhead(RunKind kind, const std::string& source, const std::string& destination,
                 RunServices& services, std::optional<FileIdentity>& identity) {
  FileIdentity known;
  if (kind == RunKind::kNone || services.journal == nullptr ||
      !services.journal->LookedAhead(OpOf(kind), source, destination, known)) {
    return false;
  }
  identity = known;
  return true;
}

// The source file under another spelling: a copy is already there.
CommitResult CommitSameFile(RunKind kind, const std::string& source, const std::string& destination,
                            RunServices& services, bool& stop) {
  if (kind == RunKind::kCopy) return CommitResult::kCommitted;
  const Error error = RenameInPlace(source, destination, services, stop);
  if (stop) return CommitResult::kStopRun;
  if (!error) {
    NotifyCommitted(source, destination, services);
    return CommitResult::kCommitted;
  }
  if (error.number != kFileNotFound) ReportCommitFailure(error, source, destination, services);
  return CommitResult::kNotCommitted;
}

// A taken target outside the run. "&Alle" covers only the files the run's
// plan showed as deleted; any other is asked about, each time. Returns false
// when the user keeps it.
bool ClearTarget(RunState& state, const std::string& source, const std::string& destination,
                 RunServices& services) {
  Answer answer = Answer::kYes;
  if (state.guard == nullptr || state.guard->Planned(destination)) {
    if (!state.deleteAll) answer = AsDeleteAnswer(services.dialogs.AskDialog2(destination));
  } else {
    answer = AsDeleteAnswer(services.dialogs.AskDialog2Unplanned(destination));
  }
  if (answer == Answer::kCancel) {
    services.messages.ShowMessage(CommitFailureText(source, destination));
    return false;
  }
  DeleteTarget(destination, source, services);
  if (answer == Answer::kAll) state.deleteAll = true;
  return true;
}

}  // namespace

CommitResult CommitFile(RunState& state, const std::string& source, const std::string& destination,
                        RunServices& services) {
  FileSystem& fileSystem = services.fileSystem;
  // Source and destination are the same path: the step is already done.
  if (source == destination) return CommitResult::kCommitted;
  bool stop = false;

  // One try, and after the target was deleted one more; a second failure is
  // reported rather than asked again, so "&Alle" cannot loop.
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::optional<FileIdentity> identity;
    const bool looked =
        attempt == 0 && LookedAhead(state.context.kind, source, destination, services, identity);
    Error error = looked ? Error{} : fileSystem.GetFile(source, identity);
    if (!error) error = Perform(state.context.kind, source, destination, services, stop, identity);
    if (stop) return Stopped(error, source, destination, services);
    // Judged as if looked at first: a source gone, or no file, is passed over.
    if (looked && error) {
      if (Error look = fileSystem.GetFile(source)) error = look;
    }
    if (!error) {
      NotifyCommitted(source, destination, services);
      return CommitResult::kCommitted;
    }
    if (attempt > 0) {
      if (error.number != kFileNotFound) ReportCommitFailure(error, source, destination, services);
      return CommitResult::kNotCommitted;
    }
    AttemptSight sight(error, state, source, destination, fileSystem);
    switch (DecideStep(source, destination, sight)) {
      case StepCase::kNothing:
      case StepCase::kFree:
      case StepCase::kMissingSource:
        return CommitResult::kNotCommitted;
      case StepCase::kFails:
        ReportCommitFailure(error, source, destination, services);
        return CommitResult::kNotCommitted;
      case StepCase::kSameFile:
        return CommitSameFile(state.context.kind, source, destination, services, stop);
      case StepCase::kOtherLink:
        return Refuse(source, destination, kRefusedSelf, services);
      case StepCase::kNeeded:
        return Refuse(source, destination, kRefusedNeeded, services);
      case StepCase::kTaken:
        if (!ClearTarget(state, source, destination, services)) {
          return CommitResult::kNotCommitted;
        }
        break;
    }
  }
  return CommitResult::kNotCommitted;
}

}  // namespace velmora
