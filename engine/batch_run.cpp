#include "engine/batch_run.h"

#include <exception>
#include <new>
#include <string_view>

#include "engine/batch_run_chains.h"
#include "engine/batch_run_foresee.h"
#include "engine/batch_run_guard.h"
#include "engine/commit.h"
#include "engine/error_numbers.h"
#include "engine/path.h"
#include "engine/plan.h"
#include "engine/report_contexts.h"
#include "engine/step_walk.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

const char* BoolText(bool value) { return value ? "True" : "False"; }

}  // namespace

void WriteStepLog(RunKind kind, const RenameJob& job, int slot, const std::string& source,
                  const std::string& target, LogWriter& log) {
  const std::size_t i = static_cast<std::size_t>(slot);
  // One entry of nine lines: one write per step, the same bytes in the file.
  const char* const end = "\r\n";
  log.WriteLog(std::string("--- Velmora ---") + end +
                   "renameFiles= " + BoolText(kind == RunKind::kRename) + end +
                   "moveFiles= " + BoolText(kind == RunKind::kMove) + end + "copyFiles= " +
                   BoolText(kind == RunKind::kCopy) + end + "Auswahl= " + job.auswahlText[i] + end +
                   "TxtSource= " + job.txtSource[i] + end + "TxtDest= " + job.txtDestination[i] +
                   end + "nameSrc= " + source + end + "nameDest= " + target,
               Location::kNone);
}

namespace {

// What a run does around each step: progress, the log lines, the question
// and the commit.
class RunActions : public StepActions {
 public:
  RunActions(RunState& state, const RenameJob& job, RunServices& services, bool logOn,
             const std::vector<PlanStep>& planned)
      : state_(state),
        job_(job),
        services_(services),
        logOn_(logOn),
        kind_(state.context.kind),
        planned_(planned) {}

  void Reached(std::size_t k) override {
    entry_ = k;
    if (services_.progress != nullptr) services_.progress->SetValue(static_cast<int>(k + 1));
  }
  // The plan walked the list as this walk does, so its steps come in the
  // same order; a step it took from another name is left to the slot.
  const std::string* Planned(int slot, const std::string& source) override {
    const auto before = [&](const PlanStep& step) {
      return step.entry < entry_ || (step.entry == entry_ && step.slot < slot);
    };
    while (next_ < planned_.size() && before(planned_[next_])) ++next_;
    if (next_ == planned_.size()) return nullptr;
    const PlanStep& step = planned_[next_];
    if (step.entry != entry_ || step.slot != slot || step.source != source) return nullptr;
    // The folder the slot would put it in: a plan for another destination
    // does not name this run's files.
    const std::string_view folder = IntoFolder(kind_)
                                        ? std::string_view(state_.context.destPath)
                                        : std::string_view(source).substr(0, FileNameStart(source));
    const std::string_view into = std::string_view(step.destination).substr(0, folder.size());
    if (into != folder || FileNameStart(step.destination) != folder.size()) return nullptr;
    ++next_;
    return &step.destination;
  }
  Error Computed(int slot, const std::string& source, const std::string& target) override {
    if (logOn_) WriteStepLog(kind_, job_, slot, source, target, services_.log);
    return {};
  }
  Answer Ask(const std::string& source, const std::string& target) override {
    return services_.dialogs.AskDialog(source, target, kind_);
  }
  CommitResult Commit(const std::string& source, const std::string& target) override {
    const CommitResult result = CommitFile(state_, source, target, services_);
    if (result == CommitResult::kCommitted && state_.guard != nullptr) {
      if (kind_ != RunKind::kCopy) state_.guard->Release(source);
      state_.guard->Protect(target);
    }
    return result;
  }
  CommitResult TakeBack(const std::string& from, const std::string& to) override {
    return TakeBackStep(state_, from, to, services_);
  }
  bool StopRequested() override {
    return services_.stop != nullptr && services_.stop->StopRequested();
  }

 private:
  RunState& state_;
  const RenameJob& job_;
  RunServices& services_;
  const bool logOn_;
  const RunKind kind_;
  const std::vector<PlanStep>& planned_;
  std::size_t entry_ = 0;
  std::size_t next_ = 0;  // the first planned step not yet passed
};

}  // namespace

void RunBatch(RunState& state, const CheckedJob& checked, const std::vector<FoundEntry>& found,
              RunServices& services, bool logOn, const RunPlan* given) {
  const RenameJob& job = checked.job();
  // Nothing may escape to the window: an unexpected failure ends the run
  // with a report, as every other caught failure does.
  try {
    // The run's plan, for its real kind and destination: the files it shows
    // as deleted are the only ones "&Alle" in `Dialog2` may delete. With
    // chains resolved, its names and order are what the run does.
    RunPlan own;
    if (given == nullptr && services.planDisk != nullptr) {
      own = PlanRun(state.context.kind, checked, found, state.context.destPath, *services.planDisk,
                    /*withSteps=*/state.resolveChains, state.resolveChains);
    }
    const RunPlan& plan = given != nullptr ? *given : own;
    RunGuard guard(services.fileSystem, services.planDisk, plan.deletions);
    guard.ProtectMarked(found);
    struct Unset {
      RunState& state;
      RunJournal* journal;
      ~Unset() {
        state.guard = nullptr;
        if (journal != nullptr) journal->Foresee({});
      }
    } unset{state, services.journal};
    if (services.journal != nullptr) {
      services.journal->Foresee(ForeseenSteps(plan, state.context.kind));
    }
    state.guard = &guard;
    Error error;
    if (!plan.order.empty()) {
      error = RunResolved(state, job, plan, found, services, logOn);
    } else {
      RunActions actions(state, job, services, logOn, plan.steps);
      error = WalkSteps(state, job, found, actions);
    }
    if (error) {
      services.reporter.ReportError(Location::kRun, error.number, kGeneralErrorContext, "",
                                    error.description);
    }
  } catch (const std::bad_alloc&) {
    services.reporter.ReportError(Location::kRun, kOutOfMemory, kGeneralErrorContext, "",
                                  "Out of memory");
  } catch (const std::exception& e) {
    services.reporter.ReportError(Location::kRun, kInternalError, kGeneralErrorContext, "",
                                  e.what());
  }
}

RunResult RunCommand(RunKind kind, RunState& state, const CheckedJob& job,
                     const std::vector<FoundEntry>& found, RunServices& services, bool logOn,
                     const RunPlan* plan) {
  state.context.kind = kind;
  RunBatch(state, job, found, services, logOn, plan);
  state.context.kind = RunKind::kNone;
  return RunResult{job.job().slotCode};
}

}  // namespace velmora
