#include "engine/plan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>

#include "engine/commit.h"
#include "engine/path.h"
#include "engine/plan_model.h"
#include "engine/step_walk.h"

namespace velmora {
namespace {

// As CommitFile and DeleteTarget report.
constexpr int kCommitLocation = 20;
constexpr int kDeleteLocation = 21;
constexpr int kRunLocation = 2;
constexpr int kErrFileNotFound = 53;
constexpr int kErrBadFileName = 52;
constexpr int kErrPathNotFound = 76;
constexpr int kErrInternal = 51;

// Longest name and path Linux file systems take, in bytes.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kPathMax = 4096;

// What the operations report while the plan walks.
class FailureCatcher : public ErrorReporter {
 public:
  void ReportError(int location, int number, const std::string& context, const std::string& file,
                   const std::string& description) override {
    caught.push_back({0, location, number, context, file, description});
  }
  std::vector<PlannedFailure> caught;
};

class MessageCatcher : public MessageSink {
 public:
  void ShowMessage(const std::string& message) override { text = message; }
  std::string text;
};

// Answers "&Ja" to every question and plays each commit on the disk model.
class PlanActions : public StepActions {
 public:
  PlanActions(RunState& state, const std::vector<FoundEntry>& found, DiskModel& model,
              RunPlan& plan, FailureCatcher& catcher)
      : state_(state), found_(found), model_(model), plan_(plan), catcher_(catcher) {}

  void Reached(std::size_t k) override {
    if (found_[k].marked) ++row_;
  }

  Error Computed(int slot) override {
    slot_ = slot;
    for (PlannedFailure& failure : catcher_.caught) Fail(std::move(failure));
    catcher_.caught.clear();
    return {};
  }

  int Ask() override { return kAnswerYes; }

  void Commit() override {
    const std::string& src = state_.nameSrc;
    const std::string& dest = state_.nameDest;
    Row().finalPath = dest;
    PlanStep step{Row().entry, slot_, src, dest, PlanState::kChanged};
    step.state = Play(src, dest);
    plan_.steps.push_back(std::move(step));
  }

 private:
  PlanRow& Row() { return plan_.rows[static_cast<std::size_t>(row_)]; }
  const std::string& ListedPath(int row) const {
    return found_[plan_.rows[static_cast<std::size_t>(row)].entry].path;
  }

  // Raises row's state to `state` unless it already holds a weightier one.
  void Mark(int row, PlanState state, const std::string& path, const std::string& other,
            bool overwritten = false) {
    PlanRow& target = plan_.rows[static_cast<std::size_t>(row)];
    if (state <= target.state) return;
    target.state = state;
    target.conflictPath = path;
    target.otherPath = other;
    target.overwritten = overwritten;
  }

  void Fail(PlannedFailure failure) {
    failure.entry = Row().entry;
    if (Row().state < PlanState::kFailed) Row().failure = failure;
    Mark(row_, PlanState::kFailed, failure.file, "");
    plan_.failures.push_back(std::move(failure));
  }

  PlanState FailCommit(int number, int err) {
    Fail({0, kCommitLocation, number, CommitFailureText(state_.nameSrc, state_.nameDest), "",
          std::strerror(err)});
    return PlanState::kFailed;
  }

  // One commit of CommitFile with "&Ja" to `Dialog2`; returns the step's state.
  PlanState Play(const std::string& src, const std::string& dest) {
    if (src == dest) return PlanState::kUnchanged;  // CommitFile does nothing
    const bool copy = state_.context.flags.copyFiles;
    const Place from = model_.Find(src);
    if (from.occupant == nullptr || !from.occupant->file) {
      // The run passes over a missing source without a word; say it here.
      Fail({0, 0, kErrFileNotFound, "Fehler beim Umbenennen", src, std::strerror(ENOENT)});
      return PlanState::kFailed;
    }
    const int owner = from.occupant->owner;
    // Another step put a different file under this entry's name before.
    if (owner != row_) Mark(row_, PlanState::kChain, src, "", /*overwritten=*/true);

    const std::string_view name = FileNameOf(dest);
    if (name.size() > kNameMax || dest.size() >= kPathMax) {
      return FailCommit(kErrBadFileName, ENAMETOOLONG);
    }
    const Place to = model_.Find(dest);
    if (to.folderMissing) return FailCommit(kErrPathNotFound, ENOTDIR);
    const bool folderItself = name.empty() || name == "." || name == "..";
    if (folderItself || (to.occupant != nullptr && !to.occupant->file)) {
      // `Dialog2` would be asked, and deleting a folder fails.
      Fail({0, kDeleteLocation, kErrFileNotFound, "Fehler beim Löschen", dest,
            std::strerror(ENOENT)});
      return PlanState::kFailed;
    }
    PlanState state = PlanState::kChanged;
    if (to.occupant == from.occupant) {
      // The same file under another spelling: renamed in place, never copied.
      if (!copy) {
        from.occupant->spelled = name;
        return state;
      }
      Mark(row_, PlanState::kCaseOnly, dest, "");
      return PlanState::kCaseOnly;
    }
    if (to.occupant != nullptr) state = Overwrite(*to.occupant, dest, name);
    if (!copy) model_.Remove(src);
    model_.Put(dest, owner);
    return state;
  }

  // The target is taken; "&Ja" in `Dialog2` deletes it. Marks this row and
  // the row whose file is lost.
  PlanState Overwrite(const Occupant& target, const std::string& dest, std::string_view name) {
    const int other = target.owner;
    const bool ours = other == kNoOwner || other == row_;
    PlanState state = PlanState::kChain;
    if (target.spelled != name) {
      state = PlanState::kCaseOnly;
    } else if (ours) {
      state = PlanState::kExists;
    } else if (other < row_ && plan_.rows[static_cast<std::size_t>(other)].finalPath == dest) {
      state = PlanState::kDuplicate;
    }
    Mark(row_, state, dest, ours ? std::string() : ListedPath(other));
    if (!ours) Mark(other, state, dest, ListedPath(row_), /*overwritten=*/true);
    return state;
  }

  RunState& state_;
  const std::vector<FoundEntry>& found_;
  DiskModel& model_;
  RunPlan& plan_;
  FailureCatcher& catcher_;
  int row_ = -1;
  int slot_ = 0;
};

void CountRows(RunPlan& plan, const std::vector<FoundEntry>& found) {
  for (PlanRow& row : plan.rows) {
    const bool moved = row.finalPath != found[row.entry].path;
    if (!IsConflict(row.state)) row.state = moved ? PlanState::kChanged : PlanState::kUnchanged;
    if (moved) ++plan.changes;
    if (IsConflict(row.state)) ++plan.conflicts;
  }
}

}  // namespace

bool IsConflict(PlanState state) { return state > PlanState::kChanged; }

const PlanRow* RunPlan::RowFor(std::size_t entry) const {
  const auto it = std::lower_bound(rows.begin(), rows.end(), entry,
                                   [](const PlanRow& row, std::size_t e) { return row.entry < e; });
  return it != rows.end() && it->entry == entry ? &*it : nullptr;
}

RunPlan PlanRun(RunKind kind, const RenameJob& job, const std::vector<FoundEntry>& found,
                const std::string& destPath, PlanDisk& disk) {
  RunPlan plan;
  for (std::size_t k = 0; k < found.size(); ++k) {
    if (found[k].marked) plan.rows.push_back({k, found[k].path, PlanState::kUnchanged, {}, {}, false, {}});
  }
  RenameJob planJob = job;
  MessageCatcher messages;
  if (!CheckSlotInputs(planJob, messages)) {
    plan.refusal = messages.text;
    CountRows(plan, found);
    return plan;
  }

  RunState state;
  state.context.destPath = destPath;
  state.context.flags.renameFiles = kind == RunKind::kRename;
  state.context.flags.copyFiles = kind == RunKind::kCopy;
  state.context.flags.moveFiles = kind == RunKind::kMove;
  FailureCatcher catcher;
  state.context.reporter = &catcher;
  try {
    // Each marked file owns its content, so a step that would overwrite it is known.
    DiskModel model(disk);
    for (std::size_t r = 0; r < plan.rows.size(); ++r) {
      const Place place = model.Find(plan.rows[r].finalPath);
      if (place.occupant != nullptr && place.occupant->file) {
        place.occupant->owner = static_cast<int>(r);
      }
    }
    PlanActions actions(state, found, model, plan, catcher);
    WalkSteps(state, planJob, found, actions);
  } catch (const std::exception& e) {
    // As the run: an unexpected failure ends it with a report.
    plan.failures.push_back({0, kRunLocation, kErrInternal, "Allgemeiner Fehler", "", e.what()});
  }
  CountRows(plan, found);
  return plan;
}

}  // namespace velmora
