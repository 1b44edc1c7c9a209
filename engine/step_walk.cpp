#include "engine/step_walk.h"

#include <string>
#include <unordered_map>
#include <utility>

#include "engine/slot_patterns.h"

namespace velmora {
namespace {

// The folder part of a found path, separator included.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// One counter and width per folder of the found files. The context holds
// the counter of the folder being walked, so numbering and give-backs need
// not know of the others; the list need not keep a folder's files together.
class FolderCounters {
 public:
  void Enter(const std::string& folder, NameContext& ctx) {
    if (started_ && folder == current_) return;
    if (started_) saved_[current_] = {ctx.numberCounter, ctx.numberWidth};
    started_ = true;
    current_ = folder;
    const auto it = saved_.find(folder);
    ctx.numberCounter = it == saved_.end() ? 0 : it->second.first;
    ctx.numberWidth = it == saved_.end() ? 0 : it->second.second;
  }

 private:
  std::unordered_map<std::string, std::pair<int, int>> saved_;
  std::string current_;
  bool started_ = false;
};

// The file a walk is at: its name now and its earlier names in this walk,
// the first `depth` of names, newest last. Kept from file to file and
// swapped rather than moved, so that a walk of tens of thousands of files
// reuses the room of its strings instead of allocating some per step.
struct WalkedFile {
  std::string source;
  std::string target;
  std::vector<std::string> names;
  std::size_t depth = 0;

  // The file went from source to target.
  void Advance() {
    if (depth == names.size()) names.emplace_back();
    names[depth++].swap(source);
    source.swap(target);
  }
};

// Goes back one name at a time until the file is home or a step fails
// (reported).
void TakeBackFile(StepActions& actions, WalkedFile& file) {
  while (file.depth > 0) {
    const std::string& earlier = file.names[file.depth - 1];
    if (actions.TakeBack(file.source, earlier) != CommitResult::kCommitted) return;
    file.source = earlier;
    --file.depth;
  }
}

// Applies the active slots to the file at file.source. False ends the
// walk: "&Abbrechen", a stop, or error set.
bool WalkFile(RunState& state, const RenameJob& job, StepActions& actions, WalkedFile& file,
              bool& all, Error& error) {
  const std::string& source = file.source;
  std::string& target = file.target;
  file.depth = 0;
  for (int i = 0; i < kSlotCount; ++i) {
    const int code = job.slotCode[static_cast<std::size_t>(i)];
    if (code < 1 || code >= kOperationCount) continue;
    const std::string* planned = IsNumberingCode(code) ? nullptr : actions.Planned(i, source);
    if (planned != nullptr) {
      target.assign(*planned);
    } else {
      // The operation writes into the room of the name computed before.
      state.context.spare.swap(target);
      target = ApplyOperation(job, i, source, state.context);
    }
    // Steps confirmed by "&Alle" finish the file; unconfirmed ones do not
    // start, and the file goes back to the name it had.
    if (!(all && file.depth > 0) && actions.StopRequested()) {
      TakeBackFile(actions, file);
      return false;
    }
    if (Error computed = actions.Computed(i, source, target)) {
      error = std::move(computed);
      return false;
    }

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
          if (result == CommitResult::kStopRun) return false;
          // A step that did not go through leaves the file under its name,
          // and the later slots go on from there.
          if (result == CommitResult::kCommitted && target != source) file.Advance();
        }
        if (answer == Answer::kAll) all = true;
        break;
      case Answer::kNo:
        // The skipped number is handed to the next file.
        if (IsNumberingCode(code)) state.context.numberCounter -= state.context.numberStep;
        break;
      case Answer::kCancel:
      case Answer::kClosed:
        // A question cut short by a stop (a terminal closed) is the stop.
        if (actions.StopRequested()) TakeBackFile(actions, file);
        return false;
    }
  }
  return true;
}

// The walk's patterns stay in the context while it goes, however it ends.
class PatternsInWalk {
 public:
  PatternsInWalk(NameContext& ctx, SlotPatterns& patterns) : ctx_(ctx), outer_(ctx.patterns) {
    ctx.patterns = &patterns;
  }
  ~PatternsInWalk() { ctx_.patterns = outer_; }
  PatternsInWalk(const PatternsInWalk&) = delete;
  PatternsInWalk& operator=(const PatternsInWalk&) = delete;

 private:
  NameContext& ctx_;
  SlotPatterns* outer_;
};

}  // namespace

Error WalkSteps(RunState& state, const RenameJob& job, const std::vector<FoundEntry>& found,
                StepActions& actions) {
  NameContext& ctx = state.context;
  ctx.numberCounter = 0;
  ctx.numberStep = NumberStep(job);
  FolderCounters counters;
  SlotPatterns patterns;
  const PatternsInWalk inWalk(ctx, patterns);
  bool all = false;  // "&Alle" given during this walk
  Error error;
  WalkedFile file;
  for (std::size_t k = 0; k < found.size(); ++k) {
    actions.Reached(k);
    if (!found[k].marked) continue;
    if (job.restartPerFolder) counters.Enter(FolderOf(found[k].path), ctx);
    // found[k].path is the file as it now is on disk; its fields were read
    // from it and stay its own through every slot.
    state.context.fields = found[k].fields.get();
    file.source.assign(found[k].path);
    if (!WalkFile(state, job, actions, file, all, error)) break;
  }
  state.context.fields = nullptr;
  return error;
}

}  // namespace velmora
