#include "engine/commit.h"

#include "engine/path.h"

namespace velmora {
namespace {

constexpr int kCommitLocation = 20;
constexpr int kDeleteLocation = 21;

// Any answer but a button of `Dialog2` (a closed window) counts as
// "&Abbrechen", so a stale answer never deletes anything.
int NormalizeDialog2(int answer) {
  return answer == kAnswerYes || answer == kAnswerAll ? answer : kAnswerCancel;
}

Error Perform(const RunFlags& flags, const std::string& source, const std::string& destination,
              FileSystem& fileSystem) {
  if (flags.renameFiles || flags.moveFiles) return fileSystem.Move(source, destination);
  if (flags.copyFiles) return fileSystem.Copy(source, destination);
  return {};
}

// The destination is the source file under another spelling (a file system
// that ignores case). Rename through a temporary name in the same folder so
// that the platform never sees the target as taken; on failure put it back.
Error RenameInPlace(const std::string& source, const std::string& destination,
                    FileSystem& fileSystem) {
  const std::string folder = SplitPath(destination, true);
  Error error;
  std::string temp;
  for (int n = 0; n < 100; ++n) {
    temp = folder + ".velmora-" + std::to_string(n) + ".tmp";
    error = fileSystem.Move(source, temp);
    if (error.number != kErrFileExists) break;
  }
  if (error) return error;
  error = fileSystem.Move(temp, destination);
  if (error) fileSystem.Move(temp, source);
  return error;
}

void ReportCommitFailure(const Error& error, const std::string& source,
                         const std::string& destination, RunServices& services) {
  services.reporter.ReportError(kCommitLocation, error.number,
                                CommitFailureText(source, destination), "", error.description);
}

void NotifyCommitted(const std::string& source, const std::string& destination,
                     RunServices& services) {
  if (services.committed != nullptr) services.committed->Committed(source, destination);
}

}  // namespace

std::string CommitFailureText(const std::string& source, const std::string& destination) {
  return "Konnte \r\n" + source + "\r\n nicht zu \r\n" + destination + "\r\numbenennen";
}

bool DeleteTarget(RunState& state, const std::string& source, RunServices& services) {
  FileSystem& fileSystem = services.fileSystem;
  // The target may be the file being committed under another spelling or
  // another link; deleting it would lose the file. The retry then fails and
  // is reported.
  if (fileSystem.SameFile(state.nameDest, source)) return false;
  Error error = fileSystem.GetFile(state.nameDest);
  if (!error) error = fileSystem.Delete(state.nameDest);
  if (error) {
    services.reporter.ReportError(kDeleteLocation, error.number, "Fehler beim Löschen",
                                  state.nameDest, error.description);
    return false;
  }
  return true;
}

void CommitFile(RunState& state, const std::string& source, const std::string& destination,
                RunServices& services) {
  FileSystem& fileSystem = services.fileSystem;
  const RunFlags& flags = state.context.flags;
  // Source and destination are the same path: the step is already done.
  if (source == destination) return;

  // One try, and after the target was deleted one more; a second failure is
  // reported rather than asked again, so "&Alle" cannot loop.
  for (int attempt = 0; attempt < 2; ++attempt) {
    Error error = fileSystem.GetFile(source);
    if (!error) error = Perform(flags, source, destination, fileSystem);
    if (!error) {
      NotifyCommitted(source, destination, services);
      return;
    }
    if (error.number == kErrFileNotFound) return;
    if (error.number != kErrFileExists || attempt > 0) {
      ReportCommitFailure(error, source, destination, services);
      return;
    }

    // The target that exists is the source itself under another spelling:
    // never delete it. A copy onto itself is already there.
    if (fileSystem.SameFile(source, destination)) {
      if (flags.copyFiles) return;
      error = RenameInPlace(source, destination, fileSystem);
      if (!error) {
        NotifyCommitted(source, destination, services);
      } else if (error.number != kErrFileNotFound) {
        ReportCommitFailure(error, source, destination, services);
      }
      return;
    }

    // DeleteTarget removes state.nameDest; never let it strike another path.
    if (destination != state.nameDest) {
      ReportCommitFailure(error, source, destination, services);
      return;
    }
    state.dialog2Ret =
        state.dialog2All ? kAnswerYes : NormalizeDialog2(services.dialogs.AskDialog2(destination));
    switch (state.dialog2Ret) {
      case kAnswerYes:
        DeleteTarget(state, source, services);
        break;
      case kAnswerAll:
        DeleteTarget(state, source, services);
        state.dialog2All = true;
        break;
      default:  // "&Abbrechen"
        services.messages.ShowMessage(CommitFailureText(source, destination));
        return;
    }
  }
}

}  // namespace velmora
