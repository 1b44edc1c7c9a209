#include "cli/run_commands.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "cli/console.h"
#include "cli/dry_run.h"
#include "cli/folder_search.h"
#include "cli/interrupt.h"
#include "cli/job_options.h"
#include "cli/journal.h"
#include "cli/terminal_prompts.h"
#include "engine/batch_run.h"
#include "engine/path.h"
#include "engine/undo.h"
#include "services/error_log.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"

namespace velmora::cli {
namespace {

constexpr char kJournalWriteContext[] = "Fehler beim Schreiben des Journals";
constexpr char kJournalReadContext[] = "Fehler beim Lesen des Journals";

// Prints each step that went through and, with a journal, appends its undo
// record right after it: a run that is cut short still leaves the records of
// every change it made. Only steps that went through are journaled; the
// record of a declined or failed step would, taken back, move whatever file
// now has its new name onto the old one.
class StepsAndJournal : public CommitObserver {
 public:
  StepsAndJournal(const RunState& state, std::string journal, ErrorReporter& reporter)
      : state_(state), journal_(std::move(journal)), reporter_(reporter) {}

  void Committed(const std::string& source, const std::string& destination) override {
    printer_.Committed(source, destination);
    if (journal_.empty()) return;
    pending_.push_back({source, destination, ModeDigit(state_.context.flags)});
    Flush();
  }

  // Appends the records not yet written; a failure is reported once and the
  // records are tried again at the next flush.
  void Flush() {
    if (pending_.empty()) return;
    const Error error = AppendJournal(journal_, pending_);
    if (!error) {
      pending_.clear();
    } else if (!reported_) {
      reported_ = true;
      reporter_.ReportError(0, error.number, kJournalWriteContext, journal_, error.description);
    }
  }

 private:
  const RunState& state_;
  std::string journal_;
  ErrorReporter& reporter_;
  StepPrinter printer_;
  std::vector<UndoRecord> pending_;
  bool reported_ = false;
};

void PrintError(const Error& error, const std::string& context, const std::string& file) {
  std::fprintf(stderr, "%s\n",
               ConsoleText(ErrorMessageText(error.number, context, file, error.description)).c_str());
}

// Without --yes-all every step is a question, and only a person can answer.
bool MayAsk(const CliOptions& options) {
  if (options.yesAll || HasTerminal()) return true;
  PrintProblem(
      "Keine Konsole für Rückfragen: --yes-all angeben, um alle Schritte zu bestätigen "
      "(vorhandene Ziele werden nur mit --overwrite-all überschrieben).");
  return false;
}

// The destination folder with its trailing separator, as the run wants it.
std::optional<std::string> DestPath(const std::string& text) {
  std::optional<std::string> folder = FolderArgument(text);
  if (folder) *folder = WithTrailingSeparator(std::move(*folder));
  return folder;
}

int RunJob(RunKind kind, const CliOptions& options) {
  RenameJob job;
  if (!JobFromOptions(options, job)) return kExitUsage;
  const std::optional<std::string> folder = FolderArgument(options.folder);
  if (!folder) return kExitUsage;
  std::string destPath;
  if (kind != RunKind::kRename) {
    const std::optional<std::string> dest = DestPath(options.dest);
    if (!dest) return kExitUsage;
    destPath = *dest;
  }
  if (!options.dryRun && !MayAsk(options)) return kExitUsage;

  // A dry run leaves the disk alone, log file and journal included.
  Reporting reporting(/*withLogFile=*/!options.dryRun);
  if (!CheckSlotInputs(job, reporting.messages())) return kExitUsage;
  std::vector<FoundEntry> found =
      SearchFound(*folder, options.pattern, options.subdirs, /*markAll=*/true, reporting);
  // Written to during the run: renaming them would split their entries.
  LeaveOutOwnFile(found, options.journal);
  if (!options.dryRun) LeaveOutOwnFile(found, LogPathIn(ChooseLogFolder(ProgramFolder())));

  if (options.dryRun || options.check) {
    const RunPlan plan = PlanOnDisk(kind, job, found, destPath);
    if (options.dryRun || plan.conflicts > 0) PrintPlan(plan, /*onlyConflicts=*/!options.dryRun);
    if (options.check && plan.conflicts > 0) return kExitConflict;
    if (options.dryRun) {
      return reporting.AnyProblem() || !plan.failures.empty() ? kExitFailure : kExitOk;
    }
  }

  if (!options.journal.empty()) {
    const Error error = AppendJournal(options.journal, {});
    if (error) {
      PrintError(error, kJournalWriteContext, options.journal);
      return kExitUsage;
    }
  }

  PosixFileSystem disk;
  TerminalDialogs dialogs(options.yesAll, options.overwriteAll, HasTerminal());
  RunState state;
  state.context.destPath = destPath;
  StepsAndJournal observer(state, options.journal, reporting.reporter());
  RunServices services{disk, dialogs, reporting.messages(), reporting.reporter(), reporting.log()};
  services.committed = &observer;
  StepStop stop;
  services.stop = &stop;
  RunCommand(kind, state, job, found, services, options.log);
  observer.Flush();
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

}  // namespace

int RenameMain(const CliOptions& options) { return RunJob(RunKind::kRename, options); }
int CopyMain(const CliOptions& options) { return RunJob(RunKind::kCopy, options); }
int MoveMain(const CliOptions& options) { return RunJob(RunKind::kMove, options); }

int UndoMain(const CliOptions& options) {
  std::vector<UndoRecord> records;
  if (const Error error = ReadJournal(options.journal, records)) {
    PrintError(error, kJournalReadContext, options.journal);
    return kExitUsage;
  }
  if (!MayAsk(options)) return kExitUsage;

  // The undo lists hold 32,767 records; older ones wait for a later undo.
  const std::size_t keep = records.size() > static_cast<std::size_t>(UndoStore::kMaxRecords)
                               ? records.size() - UndoStore::kMaxRecords
                               : 0;
  std::vector<UndoRecord> remaining(records.begin(), records.begin() + static_cast<long>(keep));
  RunState state;
  for (std::size_t i = keep; i < records.size(); ++i) {
    state.undo.Append(records[i].source, records[i].dest, records[i].kind);
  }

  Reporting reporting;
  PosixFileSystem disk;
  TerminalDialogs dialogs(options.yesAll, options.overwriteAll, HasTerminal());
  StepPrinter printer;
  RunServices services{disk, dialogs, reporting.messages(), reporting.reporter(), reporting.log()};
  services.committed = &printer;
  MnuUndo_Click(state, services);

  for (int i = 0; i < state.undo.Count(); ++i) remaining.push_back(state.undo.Get(i));
  if (remaining.size() != records.size()) {
    if (const Error error = RewriteJournal(options.journal, remaining)) {
      reporting.reporter().ReportError(0, error.number, kJournalWriteContext, options.journal,
                                       error.description);
    }
  }
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

}  // namespace velmora::cli
