#include "engine/undo.h"

#include "engine/commit.h"

namespace velmora {

void MnuUndo_Click(RunState& state, RunServices& services) {
  ResetRunFlags(state);
  RunKind& kind = state.context.kind;
  bool all = false;  // "&Alle" given during this undo

  for (int i = state.undo.Count() - 1; i >= 0; --i) {
    if (services.stop != nullptr && services.stop->StopRequested()) break;
    const UndoRecord record = state.undo.Get(i);
    const std::string& back = record.source;  // where the file goes back to
    const std::string& now = record.dest;     // where it is now
    // A record without a kind keeps the one the previous record left.
    if (record.kind != RunKind::kNone) kind = record.kind;

    Answer answer = Answer::kYes;
    if (!all) {
      answer =
          now.empty() ? Answer::kNo : ClosedAsCancel(services.dialogs.AskDialog(now, back, kind));
    }

    if (answer == Answer::kCancel) break;
    if (answer == Answer::kYes || answer == Answer::kAll) {
      if (!now.empty() && CommitFile(state, now, back, services) == CommitResult::kStopRun) break;
      state.undo.Remove(i);
      if (answer == Answer::kAll) all = true;
    }
  }

  // Outside a run there is no run kind; the last record must not leave one.
  kind = RunKind::kNone;
  if (services.search != nullptr) services.search->RepeatSearch();
}

}  // namespace velmora
