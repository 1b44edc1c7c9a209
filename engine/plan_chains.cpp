#include <unordered_set>

#include "engine/chain_run.h"
#include "engine/plan_model.h"

namespace velmora {
namespace {

// Rename temporaries get names no path can have.
constexpr char kParked = '\n';

// The run's files as places: "&Ja" to every question, a stranger's file
// deleted as `Dialog2` would after "&Ja" (or kept, with keepExisting), a
// step onto a place a file of the run holds refused.
class PlayedChains : public ChainActions {
 public:
  PlayedChains(const RunPlan& plan, const std::vector<FoundEntry>& found, DiskModel& model,
               bool keepExisting)
      : model_(model), keepExisting_(keepExisting) {
    for (const PlanRow& row : plan.rows) {
      const Place place = model.Find(found[row.entry].path);
      if (place.occupant != nullptr && place.occupant->leaving) {
        held_.insert(Key(found[row.entry].path));
      }
    }
  }
  Error Computed(const PlanStep&) override { return {}; }
  Answer Ask(const PlanStep&) override { return Answer::kYes; }
  CommitResult Move(const std::string& from, const PlanStep& step) override {
    if (step.state == PlanState::kFailed) return CommitResult::kNotCommitted;
    // A kept target leaves the file where it is, and its name stays taken
    // for every step waiting on it.
    if (keepExisting_ && Kept(step.state)) return CommitResult::kNotCommitted;
    std::string to = Key(step.destination), at = Key(from);
    if (to != at && held_.count(to) != 0) return CommitResult::kNotCommitted;
    held_.erase(at);
    held_.insert(std::move(to));
    return CommitResult::kCommitted;
  }
  CommitResult Park(const std::string& from, std::string& temp) override {
    temp = kParked + from;
    held_.erase(Key(from));
    held_.insert(temp);
    return CommitResult::kCommitted;
  }
  CommitResult MoveBack(const std::string& from, const std::string& to) override {
    held_.erase(Key(from));
    held_.insert(Key(to));
    return CommitResult::kCommitted;
  }
  void Refused(const PlanStep&) override {}

 private:
  std::string Key(const std::string& path) {
    return !path.empty() && path[0] == kParked ? path : model_.PlaceKey(path);
  }
  // Only a stranger's file in the way gives these states to a rename or move.
  static bool Kept(PlanState state) {
    return state == PlanState::kExists || state == PlanState::kCaseOnly;
  }
  DiskModel& model_;
  const bool keepExisting_;
  std::unordered_set<std::string> held_;
};

void Raise(PlanRow& row, PlanState state, const std::string& path, const std::string& other) {
  if (state <= row.state) return;
  row.state = state;
  RowConflict& conflict = row.EditConflict();
  conflict.path = path;
  conflict.other = other;
  conflict.overwritten = false;
}

}  // namespace

void PlayChains(RunPlan& plan, const std::vector<FoundEntry>& found, DiskModel& model,
                bool keepExisting) {
  PlayedChains actions(plan, found, model, keepExisting);
  ChainRun run(plan, found, actions);
  (void)run.Run();  // the played actions record every failure themselves
  std::size_t r = 0;
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    PlanStep& step = plan.steps[i];
    while (plan.rows[r].entry != step.entry) ++r;
    PlanRow& row = plan.rows[r];
    row.finalPath = run.At(static_cast<int>(r));
    if (step.state == PlanState::kUnchanged) continue;
    const std::string other =
        step.waitsFor >= 0 ? found[plan.rows[static_cast<std::size_t>(step.waitsFor)].entry].path
                           : std::string();
    if (run.Ran(i)) {
      if (step.waitsFor >= 0 && step.state == PlanState::kChanged) {
        step.state = PlanState::kResolved;
        Raise(row, PlanState::kResolved, step.destination, other);
      }
    } else if (!IsConflict(step.state) && !IsConflict(row.state)) {
      // The first step the run cannot make; the rest of the row waits.
      step.state = PlanState::kChain;
      Raise(row, PlanState::kChain, step.destination, other);
    }
  }
}

}  // namespace velmora
