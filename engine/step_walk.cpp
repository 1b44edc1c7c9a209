#include "engine/step_walk.h"

namespace velmora {
namespace {

// Any answer but a button of `Dialog` (a closed window) counts as
// "&Abbrechen", so a stale answer never confirms a step.
int NormalizeDialog(int answer) {
  return answer >= kAnswerYes && answer <= kAnswerCancel ? answer : kAnswerCancel;
}

}  // namespace

Error WalkSteps(RunState& state, RenameJob& job, const std::vector<FoundEntry>& found,
                StepActions& actions) {
  state.context.numberCounter = 0;
  state.dialogAll = false;

  const std::size_t n = found.size();
  for (std::size_t k = 0; k < n; ++k) {
    actions.Reached(k);
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
      if (actions.StopRequested()) return {};

      if (Error error = actions.Computed(i)) return error;

      // An empty result counts as "&Nein" before and after "&Alle" alike, so
      // its number is given back either way and "&Alle" names each file as
      // "&Ja" to every remaining question would.
      if (state.nameDest.empty()) {
        state.dialogRet = kAnswerNo;
      } else if (state.dialogAll) {
        state.dialogRet = kAnswerYes;
      } else {
        state.dialogRet = NormalizeDialog(actions.Ask());
      }

      switch (state.dialogRet) {
        case kAnswerYes:
        case kAnswerAll:
          if (!state.nameDest.empty()) {
            const CommitResult result = actions.Commit();
            if (result == CommitResult::kStopRun) return {};
            // A step that did not go through leaves the file under its name,
            // and the later slots go on from there.
            if (result == CommitResult::kCommitted) state.nameSrc = state.nameDest;
          }
          if (state.dialogRet == kAnswerAll) state.dialogAll = true;
          break;
        case kAnswerNo:
          // The skipped number is handed to the next file.
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

}  // namespace velmora
