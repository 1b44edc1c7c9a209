#include "engine/undo.h"

#include "engine/commit.h"

namespace velmora {
namespace {

void SetFlagsFromKind(char kind, RunFlags& flags) {
  switch (kind) {
    case '1':
      flags = RunFlags{true, false, false};
      break;
    case '2':
      flags = RunFlags{false, true, false};
      break;
    case '3':
      flags = RunFlags{false, false, true};
      break;
    default:
      break;  // "0": the flags stay as the previous record left them
  }
}

}  // namespace

void MnuUndo_Click(RunState& state, RunServices& services) {
  ResetRunFlags(state);
  RunFlags& flags = state.context.flags;

  for (int i = state.undo.Count() - 1; i >= 0; --i) {
    if (services.stop != nullptr && services.stop->StopRequested()) break;
    const UndoRecord record = state.undo.Get(i);
    state.nameDest = record.source;  // where the file goes back to
    state.nameSrc = record.dest;     // where it is now
    SetFlagsFromKind(record.kind, flags);

    if (state.dialogAll) {
      state.dialogRet = kAnswerYes;
    } else if (state.nameSrc.empty()) {
      state.dialogRet = kAnswerNo;
    } else {
      const int answer = services.dialogs.AskDialog(state.nameSrc, state.nameDest, flags);
      // A window closed without a button is "&Abbrechen", never a stale "&Ja".
      state.dialogRet = answer >= kAnswerYes && answer <= kAnswerCancel ? answer : kAnswerCancel;
    }

    if (state.dialogRet == kAnswerCancel) break;
    if (state.dialogRet == kAnswerYes || state.dialogRet == kAnswerAll) {
      if (!state.nameSrc.empty() &&
          CommitFile(state, state.nameSrc, state.nameDest, services) == CommitResult::kStopRun) {
        break;
      }
      state.undo.Remove(i);
      if (state.dialogRet == kAnswerAll) state.dialogAll = true;
    }
  }

  // Outside a run no mode flag is set; the last record must not leave one.
  flags = RunFlags{};
  if (services.search != nullptr) services.search->RepeatSearch();
}

}  // namespace velmora
