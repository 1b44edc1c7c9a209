#include "engine/batch_run.h"

#include <exception>
#include <new>

#include "engine/commit.h"
#include "engine/error_numbers.h"

namespace velmora {
namespace {

constexpr int kRunLocation = 2;
constexpr int kErrOutOfMemory = 7;
constexpr int kErrInternal = 51;

const char* BoolText(bool value) { return value ? "True" : "False"; }

void WriteStepLog(const RunState& state, const RenameJob& job, int slot, LogWriter& log) {
  const RunFlags& flags = state.context.flags;
  const std::size_t i = static_cast<std::size_t>(slot);
  log.WriteLog("--- Velmora ---", 0);
  log.WriteLog(std::string("renameFiles= ") + BoolText(flags.renameFiles), 0);
  log.WriteLog(std::string("moveFiles= ") + BoolText(flags.moveFiles), 0);
  log.WriteLog(std::string("copyFiles= ") + BoolText(flags.copyFiles), 0);
  log.WriteLog("Auswahl= " + job.auswahlText[i], 0);
  log.WriteLog("TxtSource= " + job.txtSource[i], 0);
  log.WriteLog("TxtDest= " + job.txtDestination[i], 0);
  log.WriteLog("nameSrc= " + state.nameSrc, 0);
  log.WriteLog("nameDest= " + state.nameDest, 0);
}

// Any answer but a button of `Dialog` (a closed window) counts as
// "&Abbrechen", so a stale answer never confirms a step.
int NormalizeDialog(int answer) {
  return answer >= kAnswerYes && answer <= kAnswerCancel ? answer : kAnswerCancel;
}

// Walks the list until its end or "&Abbrechen". A full undo store ends the
// run with an error before the step that could not be recorded.
Error Walk(RunState& state, RenameJob& job, const std::vector<FoundEntry>& found,
           RunServices& services, bool logOn) {
  state.context.numberCounter = 0;
  state.dialogAll = false;
  const char kind = ModeDigit(state.context.flags);

  const std::size_t n = found.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (services.progress != nullptr) services.progress->SetValue(static_cast<int>(k + 1));
    if (!found[k].marked) continue;
    state.nameSrc = found[k].path;

    for (int i = 0; i < kSlotCount; ++i) {
      int& code = job.slotCode[static_cast<std::size_t>(i)];
      if (code >= 1 && code < kOperationCount) {
        state.nameDest = ApplyOperation(job, i, state.nameSrc, state.context);
      } else {
        code = 0;
      }
      if (code == 0) continue;

      if (!state.undo.Append(state.nameSrc, state.nameDest, kind)) {
        return OverflowError();
      }
      if (logOn) WriteStepLog(state, job, i, services.log);

      if (state.dialogAll) {
        state.dialogRet = kAnswerYes;
      } else if (!state.nameDest.empty()) {
        state.dialogRet = NormalizeDialog(
            services.dialogs.AskDialog(state.nameSrc, state.nameDest, state.context.flags));
      } else {
        state.dialogRet = kAnswerNo;
      }

      switch (state.dialogRet) {
        case kAnswerYes:
        case kAnswerAll:
          if (!state.nameDest.empty()) {
            CommitFile(state, state.nameSrc, state.nameDest, services);
            state.nameSrc = state.nameDest;
          }
          if (state.dialogRet == kAnswerAll) state.dialogAll = true;
          break;
        case kAnswerNo:
          if (IsNumberingCode(code)) --state.context.numberCounter;
          break;
        case kAnswerCancel:
          return {};
        default:
          break;
      }
    }
  }
  return {};
}

}  // namespace

void RunBatch(RunState& state, RenameJob& job, const std::vector<FoundEntry>& found,
              RunServices& services, bool logOn) {
  if (!CheckSlotInputs(job, services.messages)) return;
  // The operations report through the run's reporter, and only during it.
  ErrorReporter* const savedReporter = state.context.reporter;
  state.context.reporter = &services.reporter;
  // Nothing may escape to the window: an unexpected failure ends the run
  // with a report, as every other caught failure does.
  try {
    const Error error = Walk(state, job, found, services, logOn);
    if (error) {
      services.reporter.ReportError(kRunLocation, error.number, "Allgemeiner Fehler", "",
                                    error.description);
    }
  } catch (const std::bad_alloc&) {
    services.reporter.ReportError(kRunLocation, kErrOutOfMemory, "Allgemeiner Fehler", "",
                                  "Out of memory");
  } catch (const std::exception& e) {
    services.reporter.ReportError(kRunLocation, kErrInternal, "Allgemeiner Fehler", "", e.what());
  }
  state.context.reporter = savedReporter;
}

void RunCommand(RunKind kind, RunState& state, RenameJob& job, const std::vector<FoundEntry>& found,
                RunServices& services, bool logOn) {
  ResetRunFlags(state);
  RunFlags& flags = state.context.flags;
  switch (kind) {
    case RunKind::kRename:
      flags.renameFiles = true;
      break;
    case RunKind::kCopy:
      flags.copyFiles = true;
      break;
    case RunKind::kMove:
      flags.moveFiles = true;
      break;
  }
  RunBatch(state, job, found, services, logOn);
  flags = RunFlags{};
  if (services.search != nullptr) services.search->RepeatSearch();
}

}  // namespace velmora
