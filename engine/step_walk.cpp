#include "engine/step_walk.h"

namespace velmora {
namespace {

// The file's earlier names in this walk, newest last; the file is at source.
// Goes back one name at a time until it is home or a step fails (reported).
void TakeBackFile(StepActions& actions, std::vector<std::string>& names, std::string& source) {
  while (!names.empty()) {
    if (actions.TakeBack(source, names.back()) != CommitResult::kCommitted) return;
    source = names.back();
    names.pop_back();
  }
}

}  // namespace

Error WalkSteps(RunState& state, RenameJob& job, const std::vector<FoundEntry>& found,
                StepActions& actions) {
  state.context.numberCounter = 0;
  bool all = false;  // "&Alle" given during this walk

  const std::size_t n = found.size();
  for (std::size_t k = 0; k < n; ++k) {
    actions.Reached(k);
    if (!found[k].marked) continue;
    std::string source = found[k].path;  // the file as it now is on disk
    std::vector<std::string> names;      // its earlier names in this walk

    for (int i = 0; i < kSlotCount; ++i) {
      int& code = job.slotCode[static_cast<std::size_t>(i)];
      std::string target;
      if (code >= 1 && code < kOperationCount) {
        target = ApplyOperation(job, i, source, state.context);
      } else {
        code = 0;
      }
      if (code == 0) continue;
      // Steps confirmed by "&Alle" finish the file; unconfirmed ones do not
      // start, and the file goes back to the name it had.
      if (!(all && !names.empty()) && actions.StopRequested()) {
        TakeBackFile(actions, names, source);
        return {};
      }

      if (Error error = actions.Computed(i, source, target)) return error;

      // An empty result counts as "&Nein" before and after "&Alle" alike, so
      // its number is given back either way and "&Alle" names each file as
      // "&Ja" to every remaining question would.
      Answer answer = Answer::kYes;
      if (target.empty()) {
        answer = Answer::kNo;
      } else if (!all) {
        answer = ClosedAsCancel(actions.Ask(source, target));
      }

      switch (answer) {
        case Answer::kYes:
        case Answer::kAll:
          if (!target.empty()) {
            const CommitResult result = actions.Commit(source, target);
            if (result == CommitResult::kStopRun) return {};
            // A step that did not go through leaves the file under its name,
            // and the later slots go on from there.
            if (result == CommitResult::kCommitted && target != source) {
              names.push_back(source);
              source = target;
            }
          }
          if (answer == Answer::kAll) all = true;
          break;
        case Answer::kNo:
          // The skipped number is handed to the next file.
          if (IsNumberingCode(code)) --state.context.numberCounter;
          break;
        case Answer::kCancel:
        case Answer::kClosed:
          // A question cut short by a stop (a terminal closed) is the stop.
          if (actions.StopRequested()) TakeBackFile(actions, names, source);
          return {};
      }
    }
  }
  return {};
}

}  // namespace velmora
