#include "engine/batch_run_chains.h"

#include <algorithm>

#include "engine/batch_run_guard.h"
#include "engine/chain_run.h"
#include "engine/commit.h"
#include "engine/error_numbers.h"
#include "engine/path.h"

namespace velmora {
namespace {

class ResolvedActions : public ChainActions {
 public:
  ResolvedActions(RunState& state, const RenameJob& job, const std::vector<FoundEntry>& found,
                  RunServices& services, bool logOn)
      : state_(state),
        job_(job),
        found_(found),
        services_(services),
        logOn_(logOn),
        kind_(state.context.kind) {}

  void Turn(int) override {
    if (services_.progress == nullptr) return;
    turns_ = std::min(turns_ + 1, static_cast<int>(found_.size()));
    services_.progress->SetValue(turns_);
  }
  Error Computed(const PlanStep& step) override {
    if (logOn_) WriteStepLog(kind_, job_, step.slot, step.source, step.destination, services_.log);
    return {};
  }
  Answer Ask(const PlanStep& step) override {
    return services_.dialogs.AskDialog(step.source, step.destination, kind_);
  }
  CommitResult Move(const std::string& from, const PlanStep& step) override {
    const CommitResult result = CommitFile(state_, from, step.destination, services_);
    if (result == CommitResult::kCommitted) Guard(from, step.destination);
    return result;
  }
  CommitResult Park(const std::string& from, std::string& temp) override {
    bool stop = false;
    const Error error = MoveToTemporary(from, temp, services_, stop);
    if (stop) return CommitResult::kStopRun;
    if (error) {
      if (error.number != kFileNotFound) Report(error, from, temp);
      return CommitResult::kNotCommitted;
    }
    temps_.push_back(temp);
    if (services_.committed != nullptr) services_.committed->Committed(from, temp);
    Guard(from, temp);
    return CommitResult::kCommitted;
  }
  CommitResult MoveBack(const std::string& from, const std::string& to) override {
    const FileOp op = FolderOf(from) == FolderOf(to) ? FileOp::kRename : FileOp::kMove;
    bool stop = false;
    const Error error = Journaled(op, from, to, services_, stop);
    if (stop) {
      if (!error && services_.committed != nullptr) services_.committed->Committed(from, to);
      return CommitResult::kStopRun;
    }
    if (error) {
      Report(error, from, to);
      return CommitResult::kNotCommitted;
    }
    Guard(from, to);
    if (services_.committed != nullptr) services_.committed->Committed(from, to);
    return CommitResult::kCommitted;
  }
  CommitResult TakeBack(const std::string& from, const std::string& to) override {
    // A copy's original never moved; the copy stays for undo.
    return kind_ == RunKind::kCopy ? CommitResult::kNotCommitted : MoveBack(from, to);
  }
  void Refused(const PlanStep& step) override {
    ReportRefusedStep(step.source, step.destination, services_);
  }
  bool StopRequested() override {
    return services_.stop != nullptr && services_.stop->StopRequested();
  }

 private:
  // A move went through: the run's files and the held temporary follow it.
  void Guard(const std::string& from, const std::string& to) {
    if (state_.guard != nullptr) {
      state_.guard->Release(from);
      state_.guard->Protect(to);
    }
    const auto held = std::find(temps_.begin(), temps_.end(), from);
    if (held != temps_.end()) {
      services_.fileSystem.ReleaseTemporary(from);
      temps_.erase(held);
    }
  }
  void Report(const Error& error, const std::string& from, const std::string& to) {
    services_.reporter.ReportError(Location::kCommit, error.number, CommitFailureText(from, to), "",
                                   error.description);
  }

  RunState& state_;
  const RenameJob& job_;
  const std::vector<FoundEntry>& found_;
  RunServices& services_;
  const bool logOn_;
  const RunKind kind_;
  int turns_ = 0;
  std::vector<std::string> temps_;  // rename temporaries holding a file now
};

}  // namespace

Error RunResolved(RunState& state, const RenameJob& job, const RunPlan& plan,
                  const std::vector<FoundEntry>& found, RunServices& services, bool logOn) {
  ResolvedActions actions(state, job, found, services, logOn);
  ChainRun run(plan, found, actions);
  const Error error = run.Run();
  if (services.progress != nullptr) services.progress->SetValue(static_cast<int>(found.size()));
  return error;
}

}  // namespace velmora
