#include "cli/dry_run.h"

#include <cstdio>

#include "cli/console.h"
#include "services/language.h"
#include "services/plan_text.h"
#include "services/posix_file_system.h"

namespace velmora::cli {
namespace {

// The state word shown behind each step: the step's own conflict, else for
// the last step of an entry in conflict the entry's state.
std::vector<PlanState> StepMarks(const RunPlan& plan) {
  std::vector<PlanState> marks(plan.steps.size(), PlanState::kChanged);
  std::size_t begin = 0;
  std::size_t row = 0;  // steps follow the rows' order: one pass finds each row
  while (begin < plan.steps.size()) {
    std::size_t end = begin;
    bool marked = false;
    for (; end < plan.steps.size() && plan.steps[end].entry == plan.steps[begin].entry; ++end) {
      marks[end] = plan.steps[end].state;
      marked = marked || IsConflict(marks[end]);
    }
    const std::size_t entry = plan.steps[begin].entry;
    while (row < plan.rows.size() && plan.rows[row].entry < entry) ++row;
    const PlanRow* found = row < plan.rows.size() && plan.rows[row].entry == entry
                               ? &plan.rows[row]
                               : plan.RowFor(entry);
    if (!marked && found != nullptr && IsConflict(found->state)) marks[end - 1] = found->state;
    begin = end;
  }
  return marks;
}

// The plan's own fresh look at the disk, paths taken as they are, except
// that a searched folder the search's disk still holds unchanged is not
// read again.
class PlanDisk : public PosixFileSystem {
 public:
  explicit PlanDisk(PosixFileSystem& searched) : searched_(searched) {}
  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    return searched_.TakeKeptListing(folder, items) || PosixFileSystem::ListFolder(folder, items);
  }

 private:
  PosixFileSystem& searched_;
};

}  // namespace

RunPlan PlanWithAnswers(RunKind kind, const CheckedJob& job, const std::vector<FoundEntry>& found,
                        const std::string& destPath, const CliOptions& options, bool withSteps,
                        PosixFileSystem& searched) {
  PlanDisk disk(searched);
  return PlanRun(kind, job, found, destPath, disk, withSteps, options.resolveChains,
                 options.yesAll && !options.overwriteAll);
}

std::string AssumedAnswersText(bool overwriteAll) {
  static constexpr char kOverwrite[] = VELMORA_TEXT(
      "velmora",
      "Plan mit --yes-all --overwrite-all: jeder Schritt bestätigt, vorhandene Ziele werden "
      "überschrieben.");
  static constexpr char kKeep[] =
      VELMORA_TEXT("velmora",
                   "Plan mit --yes-all: jeder Schritt bestätigt, vorhandene Ziele bleiben (ohne "
                   "--overwrite-all).");
  return Tr("velmora", overwriteAll ? kOverwrite : kKeep);
}

void PrintPlan(const RunPlan& plan, bool onlyConflicts) {
  const std::vector<PlanState> marks = StepMarks(plan);
  // The plan goes out in a few large writes through one buffer: a buffer
  // for the whole text would cost a page fault per few lines.
  constexpr std::size_t kChunk = std::size_t{64} * 1024;
  std::string text;
  text.reserve(kChunk + 8192);
  std::fflush(stdout);
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    if (text.size() >= kChunk) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      text.clear();
    }
    const PlanStep& step = plan.steps[i];
    if (step.state == PlanState::kUnchanged) continue;  // nothing the run would do
    const bool conflict = IsConflict(marks[i]);
    if (onlyConflicts && !conflict) continue;
    AppendConsoleName(text, step.source);
    text += " -> ";
    AppendConsoleName(text, step.destination);
    if (conflict) text.append("  [").append(PlanStateWord(marks[i])).append("]");
    text += '\n';
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  for (const PlannedFailure& failure : plan.failures) {
    std::fprintf(stderr, "%s\n", ConsoleText(PlannedFailureText(failure)).c_str());
  }
  PrintProblem(PlanSummaryText(plan));
}

}  // namespace velmora::cli
