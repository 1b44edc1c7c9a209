#include "engine/plan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <optional>
#include <unordered_map>

#include "engine/chain_run.h"
#include "engine/commit.h"
#include "engine/error_numbers.h"
#include "engine/path.h"
#include "engine/plan_model.h"
#include "engine/report_contexts.h"
#include "engine/step_case.h"
#include "engine/step_walk.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

// Longest name and path Linux file systems take, in bytes.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kPathMax = 4096;

// What the operations report while the plan walks.
class FailureCatcher : public ErrorReporter {
 public:
  void ReportError(Location location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override {
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
  PlanActions(RunState& state, const std::vector<FoundEntry>& found, FileSystem& disk,
              DiskModel& model, RunPlan& plan, FailureCatcher& catcher, bool withSteps,
              bool resolve, bool keepExisting)
      : state_(state),
        found_(found),
        disk_(disk),
        model_(model),
        plan_(plan),
        catcher_(catcher),
        withSteps_(withSteps),
        resolve_(resolve),
        keepExisting_(keepExisting) {
    if (resolve_) MarkListedFiles();
  }

  // A step went onto another entry's listed file before that entry's own
  // turn in list order: only a resolved order makes it go through.
  [[nodiscard]] bool ChainAhead() const { return chainAhead_; }
  // Some step went onto another entry's listed file.
  [[nodiscard]] bool Waits() const { return waits_; }

  void Reached(std::size_t k) override {
    if (!found_[k].marked) return;
    EndEntry();
    ++row_;
    at_ = found_[k].path;
  }

  Error Computed(int slot, const std::string&, const std::string&) override {
    slot_ = slot;
    for (PlannedFailure& failure : catcher_.caught) Fail(std::move(failure));
    catcher_.caught.clear();
    return {};
  }

  Answer Ask(const std::string&, const std::string&) override { return Answer::kYes; }

  CommitResult Commit(const std::string& src, const std::string& dest) override {
    refused_ = false;
    kept_ = false;
    waitsFor_ = -1;
    const PlanState state = Play(src, dest);
    if (withSteps_) {
      // Built in place: the paths are copied once, straight into the step.
      plan_.steps.push_back(PlanStep{Row().entry, slot_, state, waitsFor_, refused_, src, dest});
    }
    if (state == PlanState::kFailed || refused_ || kept_) return CommitResult::kNotCommitted;
    at_ = dest;
    return CommitResult::kCommitted;
  }

  // Closes the entry walked last: its final path, and its carried file
  // put down where its steps left it.
  void EndEntry() {
    if (row_ < 0) return;
    Row().finalPath = at_;
    Settle();
  }

 private:
  PlanRow& Row() { return plan_.rows[static_cast<std::size_t>(row_)]; }
  [[nodiscard]] const std::string& ListedPath(int row) const {
    return found_[plan_.rows[static_cast<std::size_t>(row)].entry].path;
  }

  // Raises row's state to `state` unless it already holds a weightier one.
  void Mark(int row, PlanState state, const std::string& path, const std::string& other,
            bool overwritten = false) {
    PlanRow& target = plan_.rows[static_cast<std::size_t>(row)];
    if (state <= target.state) return;
    target.state = state;
    RowConflict& conflict = target.EditConflict();
    conflict.path = path;
    conflict.other = other;
    conflict.overwritten = overwritten;
  }

  void Fail(PlannedFailure failure) {
    failure.entry = Row().entry;
    if (Row().state < PlanState::kFailed) Row().EditConflict().failure = failure;
    Mark(row_, PlanState::kFailed, failure.file, "");
    plan_.failures.push_back(std::move(failure));
  }

  PlanState FailCommit(int number, int err, const std::string& src, const std::string& dest) {
    Fail({0, Location::kCommit, number, CommitFailureText(src, dest), "", std::strerror(err)});
    return PlanState::kFailed;
  }

  // One commit of CommitFile with "&Ja" to `Dialog2`, decided as the commit
  // decides; returns the step's state.
  PlanState Play(const std::string& src, const std::string& dest) {
    ModelSight sight(*this, src, dest);
    switch (DecideStep(src, dest, sight)) {
      case StepCase::kNothing:
        return PlanState::kUnchanged;
      case StepCase::kMissingSource:
        // The run passes over a missing source without a word; say it here.
        Fail({0, Location::kNone, kFileNotFound, kRenameErrorContext, src, std::strerror(ENOENT)});
        return PlanState::kFailed;
      case StepCase::kFails: {
        const Error refusal = sight.Refusal();
        Fail({0, Location::kCommit, refusal.number, CommitFailureText(src, dest), "",
              refusal.description});
        return PlanState::kFailed;
      }
      case StepCase::kSameFile:
        // Renamed in place, never copied.
        if (state_.context.kind != RunKind::kCopy) return PlanState::kChanged;
        Mark(row_, PlanState::kCaseOnly, dest, "");
        return PlanState::kCaseOnly;
      case StepCase::kOtherLink:
      case StepCase::kNeeded:
        return Refused(sight.Other(), dest);
      case StepCase::kTaken:
        return Overwrite(sight.To(), dest, sight.owner);
      case StepCase::kFree:
        return Free(sight.To(), dest, sight.owner);
    }
    return PlanState::kFailed;
  }

  // What the model holds for one step. Looking at the source takes a rename's
  // or move's file into the carry, as the step would.
  class ModelSight : public StepSight {
   public:
    ModelSight(PlanActions& plan, const std::string& src, const std::string& dest)
        : plan_(plan), src_(src), dest_(dest) {}
    bool SourceMissing() override {
      if (!plan_.LookAtSource(src_, owner)) return true;
      // Another step put a different file under this entry's name before.
      if (owner != plan_.row_) {
        plan_.Mark(plan_.row_, PlanState::kChain, src_, "", /*overwritten=*/true);
      }
      return false;
    }
    Error Refusal() override {
      const Place& to = To();
      const std::string_view name = to.name;
      if (to.folderMissing) return Refused(kPathNotFound, ENOENT);
      if (name.size() > kNameMax || dest_.size() >= kPathMax) {
        return Refused(kBadFileName, ENAMETOOLONG);
      }
      // A name the target's file system refuses.
      if (NameRefusedOn(to.kind, name)) return Refused(kBadFileName, EINVAL);
      // A folder in the way is no file to overwrite.
      const bool folderItself = name.empty() || name == "." || name == "..";
      if (folderItself || (to.occupant != nullptr && !to.occupant->file)) {
        return Refused(kPathFileAccess, EISDIR);
      }
      return {};
    }
    // Only where case is ignored, and no other entry is spelled exactly like
    // the target, can two spellings be one place.
    bool SameFileOtherSpelling() override {
      return To().ignoresCase && plan_.model_.SamePlace(src_, dest_);
    }
    bool OtherLink() override { return false; }  // the model knows no links
    // A file the run still needs: a marked entry's file at its listed path,
    // or one an earlier step put there. A listed file its own entry's steps
    // take away is free once that entry has gone, whatever the list order.
    bool Needed() override { return Taken() && Other() != kNoOwner; }
    bool Taken() override { return To().occupant != nullptr && !To().occupant->leaving; }

    const Place& To() {
      if (!to_) to_ = plan_.model_.Find(dest_);
      return *to_;
    }
    int Other() {
      if (!other_) {
        const Place& to = To();
        int other = to.occupant->owner;
        if (other == kNoOwner) {
          other = plan_.OriginalOwner(
              to.ignoresCase ? std::string(FolderOf(dest_)).append(to.spelled) : dest_);
        }
        other_ = other;
      }
      return *other_;
    }
    int owner = kNoOwner;  // whose file the step moves

   private:
    static Error Refused(int number, int err) { return {number, std::strerror(err)}; }
    PlanActions& plan_;
    const std::string& src_;
    const std::string& dest_;
    std::optional<Place> to_;
    std::optional<int> other_;
  };

  // Whether a file lies at src for the step, and whose it is. A rename or
  // move takes its file out of the model at the first step and carries it
  // along the entry's steps, so passing names cost no updates; a copy leaves
  // it where it is.
  bool LookAtSource(const std::string& src, int& owner) {
    const bool copy = state_.context.kind == RunKind::kCopy;
    owner = carried_.owner;
    if (!copy && carried_.active) return true;
    Occupant found;
    bool present = false;
    if (copy) {
      const Place from = model_.Find(src);
      present = from.occupant != nullptr && from.occupant->file;
      if (present) found.owner = from.occupant->owner;
    } else {
      Settle();
      if (resolve_ && src == ListedPath(row_)) {
        // Its listed file stays in the model as a mark until the end.
        present = listed_[static_cast<std::size_t>(row_)] != 0;
        found.owner = row_;
      } else {
        present = model_.Take(src, found);
      }
    }
    if (!present) return false;
    owner = found.owner;
    if (owner == kNoOwner) owner = src == ListedPath(row_) ? row_ : OriginalOwner(src);
    if (!copy) {
      carried_.active = true;
      carried_.owner = owner;
    }
    return true;
  }

  // Nothing is in the way, or a marked entry's listed file that its own
  // steps take away first.
  PlanState Free(const Place& to, const std::string& dest, int owner) {
    if (to.occupant != nullptr && to.occupant->leaving) {
      const int other = to.occupant->owner;
      if (other != row_) {
        waitsFor_ = other;
        waits_ = true;
        chainAhead_ = chainAhead_ || other > row_;
      }
      return PlanState::kChanged;
    }
    if (state_.context.kind == RunKind::kCopy) model_.Put(dest, owner);
    return PlanState::kChanged;
  }

  // With chains resolved: every marked entry's file at its listed path is
  // marked as its own and leaving.
  void MarkListedFiles() {
    listed_.assign(plan_.rows.size(), 0);
    for (std::size_t r = 0; r < plan_.rows.size(); ++r) {
      Occupant* const occupant = model_.OccupantAt(found_[plan_.rows[r].entry].path);
      if (occupant == nullptr || !occupant->file) continue;
      occupant->owner = static_cast<int>(r);
      occupant->leaving = true;
      listed_[r] = 1;
    }
  }

  // Whose the file is that was listed at path at the start: the marked entry
  // of that path, or nobody's.
  int OriginalOwner(std::string_view path) {
    if (rowOfPath_.empty()) {
      rowOfPath_.reserve(plan_.rows.size());
      for (std::size_t r = 0; r < plan_.rows.size(); ++r) {
        rowOfPath_.emplace(found_[plan_.rows[r].entry].path, static_cast<int>(r));
      }
    }
    const auto it = rowOfPath_.find(path);
    return it == rowOfPath_.end() ? kNoOwner : it->second;
  }

  void Settle() {
    if (!carried_.active) return;
    model_.Put(at_, carried_.owner);
    carried_.active = false;
  }

  // A file outside the run is deleted after "&Ja" in `Dialog2`, and noted
  // with its identity so that the run deletes that very file only.
  PlanState Overwrite(const Place& target, const std::string& dest, int owner) {
    const PlanState state =
        target.SpelledOtherThan(target.name) ? PlanState::kCaseOnly : PlanState::kExists;
    Mark(row_, state, dest, "");
    kept_ = keepExisting_;
    if (kept_) return state;
    PlannedDeletion deletion{dest, {}};
    if (disk_.Identify(dest, deletion.identity)) plan_.deletions.push_back(std::move(deletion));
    if (state_.context.kind == RunKind::kCopy) {
      model_.Put(dest, owner);
    } else {
      model_.Remove(dest);
    }
    return state;
  }

  // A file the run still needs is never deleted: the run refuses the step.
  PlanState Refused(int other, const std::string& dest) {
    refused_ = true;
    // Put there by the other entry's own steps: both would end at one name.
    const bool same = other < row_ && dest != ListedPath(other) &&
                      plan_.rows[static_cast<std::size_t>(other)].finalPath == dest;
    const PlanState state = same ? PlanState::kDuplicate : PlanState::kChain;
    Mark(row_, state, dest, other == row_ ? std::string() : ListedPath(other));
    return state;
  }

  RunState& state_;
  const std::vector<FoundEntry>& found_;
  FileSystem& disk_;
  DiskModel& model_;
  RunPlan& plan_;
  FailureCatcher& catcher_;
  const bool withSteps_;
  const bool resolve_;
  const bool keepExisting_;
  std::vector<char> listed_;  // with chains resolved: a file lay at the row's listed path
  int waitsFor_ = -1;         // of the step played last
  bool chainAhead_ = false;
  bool waits_ = false;
  int row_ = -1;
  int slot_ = 0;
  bool refused_ = false;  // the step played last is refused
  bool kept_ = false;     // the step played last keeps the taken target: not done
  std::string at_;        // where the walked entry's file now is
  // The file a rename or move carries along its entry's steps, at at_.
  struct {
    bool active = false;
    int owner = kNoOwner;
  } carried_;
  std::unordered_map<std::string_view, int> rowOfPath_;  // built at the first need
};

void CountRows(RunPlan& plan, const std::vector<FoundEntry>& found) {
  for (PlanRow& row : plan.rows) {
    const bool moved = row.finalPath != found[row.entry].path;
    if (!IsConflict(row.state) && (row.state != PlanState::kResolved || !moved)) {
      row.state = moved ? PlanState::kChanged : PlanState::kUnchanged;
    }
    if (moved) ++plan.changes;
    if (IsConflict(row.state)) ++plan.conflicts;
  }
}

}  // namespace

bool IsConflict(PlanState state) { return state > PlanState::kResolved; }

const RowConflict& PlanRow::Conflict() const {
  static const RowConflict kNone;
  return conflict ? *conflict : kNone;
}

RowConflict& PlanRow::EditConflict() {
  auto own = std::make_shared<RowConflict>(Conflict());
  RowConflict& edited = *own;
  conflict = std::move(own);
  return edited;
}

const PlanRow* RunPlan::RowFor(std::size_t entry) const {
  const auto it = std::lower_bound(rows.begin(), rows.end(), entry,
                                   [](const PlanRow& row, std::size_t e) { return row.entry < e; });
  return it != rows.end() && it->entry == entry ? &*it : nullptr;
}

namespace {

// One unchanged row per marked entry, in list order.
std::vector<PlanRow> MarkedRows(const std::vector<FoundEntry>& found) {
  std::vector<PlanRow> rows;
  rows.reserve(static_cast<std::size_t>(
      std::count_if(found.begin(), found.end(), [](const FoundEntry& e) { return e.marked; })));
  for (std::size_t k = 0; k < found.size(); ++k) {
    if (found[k].marked) rows.push_back(PlanRow{k, found[k].path, PlanState::kUnchanged, nullptr});
  }
  return rows;
}

}  // namespace

RunPlan PlanRun(RunKind kind, const CheckedJob& checked, const std::vector<FoundEntry>& found,
                const std::string& destPath, FileSystem& disk, bool withSteps, bool resolveChains,
                bool keepExisting) {
  const RenameJob& job = checked.job();
  resolveChains = resolveChains && kind != RunKind::kCopy;
  RunPlan plan;
  plan.rows = MarkedRows(found);
  int active = 0;
  for (const int code : job.slotCode) active += code != 0 ? 1 : 0;
  // Resolving needs the steps, to order them.
  const bool keepSteps = withSteps || resolveChains;
  if (keepSteps) plan.steps.reserve(plan.rows.size() * static_cast<std::size_t>(active));

  RunState state;
  state.context.destPath = destPath;
  state.context.kind = kind;
  FailureCatcher catcher;
  state.context.reporter = &catcher;
  try {
    DiskModel model(disk);
    PlanActions actions(state, found, disk, model, plan, catcher, keepSteps, resolveChains,
                        keepExisting);
    (void)WalkSteps(state, job, found, actions);  // failures are caught into the plan
    actions.EndEntry();
    if (resolveChains) {
      // List order frees every name in time: the run goes as without the
      // option, and so does its plan.
      if (!actions.ChainAhead()) {
        if (actions.Waits()) {
          return PlanRun(kind, checked, found, destPath, disk, withSteps, false, keepExisting);
        }
      } else {
        plan.order = OrderChains(plan);
        PlayChains(plan, found, model, keepExisting);
      }
    }
  } catch (const std::exception& e) {
    // As the run: an unexpected failure ends it with a report.
    plan.failures.push_back(
        {0, Location::kRun, kInternalError, kGeneralErrorContext, "", e.what()});
  }
  CountRows(plan, found);
  if (!withSteps) plan.steps.clear();
  return plan;
}

RunPlan PlanRun(RunKind kind, const RenameJob& job, const std::vector<FoundEntry>& found,
                const std::string& destPath, FileSystem& disk, bool withSteps, bool resolveChains,
                bool keepExisting) {
  MessageCatcher messages;
  if (const std::optional<CheckedJob> checked = CheckJob(job, messages)) {
    return PlanRun(kind, *checked, found, destPath, disk, withSteps, resolveChains, keepExisting);
  }
  RunPlan plan;
  plan.rows = MarkedRows(found);
  plan.refusal = messages.text;
  CountRows(plan, found);
  return plan;
}

}  // namespace velmora
