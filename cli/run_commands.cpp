#include "cli/run_commands.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "cli/console.h"
#include "cli/dry_run.h"
#include "cli/folder_search.h"
#include "cli/interrupt.h"
#include "cli/job_file.h"
#include "cli/job_options.h"
#include "cli/journal_undo.h"
#include "cli/run_summary.h"
#include "cli/terminal_prompts.h"
#include "engine/batch_run.h"
#include "engine/path.h"
#include "engine/report_contexts.h"
#include "search/search_command.h"
#include "services/error_log.h"
#include "services/journal.h"
#include "services/language.h"
#include "services/own_file.h"
#include "services/posix_file_system.h"
#include "services/test_hooks.h"
#include "tags/tag_fields.h"

namespace velmora::cli {
namespace {

void PrintError(const Error& error, const std::string& context, const std::string& file) {
  std::fprintf(
      stderr, "%s\n",
      ConsoleText(ErrorMessageText(error.number, context, file, error.description)).c_str());
}

// Without --yes-all every step is a question, and only a person can answer.
bool MayAsk(const CliOptions& options) {
  if (options.yesAll || HasTerminal()) return true;
  PrintProblem(Tr("velmora",
                  "Keine Konsole für Rückfragen: --yes-all angeben, um alle Schritte zu bestätigen "
                  "(vorhandene Ziele werden nur mit --overwrite-all überschrieben)."));
  return false;
}

// The destination folder with its trailing separator, as the run wants it.
std::optional<std::string> DestPath(const std::string& text) {
  std::optional<std::string> folder = FolderArgument(text);
  if (folder) *folder = WithTrailingSeparator(std::move(*folder));
  return folder;
}

// --dry-run and --check: prints the plan (with --yes-all: which answers it
// assumed). Returns the exit status when the command ends here, nothing
// when the run goes on.
std::optional<int> PrintPlanFirst(const RunPlan& plan, const CliOptions& options,
                                  Reporting& reporting) {
  if (options.dryRun || plan.conflicts > 0) {
    if (options.yesAll) {
      std::printf("%s\n", ConsoleText(AssumedAnswersText(options.overwriteAll)).c_str());
    }
    PrintPlan(plan, /*onlyConflicts=*/!options.dryRun);
  }
  if (options.check && plan.conflicts > 0) return kExitConflict;
  if (options.dryRun) {
    return reporting.AnyProblem() || !plan.failures.empty() ? kExitFailure : kExitOk;
  }
  return std::nullopt;
}

// The run works through the folders the search listed, whatever is put in
// their place meanwhile; one replaced since is named and nothing runs.
bool PinFolders(FileSystem& disk, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    if (const Error error = disk.PinFolder(folder)) {
      PrintError(error, kSearchErrorContext, folder);
      return false;
    }
  }
  return true;
}

// What one run is asked to do, read from the options.
struct RunRequest {
  RunKind kind = RunKind::kNone;
  RenameJob job;
  std::vector<std::string> folders;
  std::string destPath;  // with its trailing separator; "" for a rename
};

// The request, or nothing after a usage problem has been printed.
std::optional<RunRequest> ReadRequest(RunKind kind, const CliOptions& options) {
  RunRequest request;
  request.kind = kind;
  if (!JobFromOptions(options, request.job)) return std::nullopt;
  std::optional<std::vector<std::string>> folders = FolderArguments(options.folders);
  if (!folders) return std::nullopt;
  request.folders = std::move(*folders);
  if (kind != RunKind::kRename) {
    std::optional<std::string> dest = DestPath(options.dest);
    if (!dest) return std::nullopt;
    request.destPath = std::move(*dest);
  }
  return request;
}

// The marked files of the searched folders, less the files the run writes
// to itself: renaming them would split their entries.
std::vector<FoundEntry> FindFiles(const RunRequest& request, const CliOptions& options,
                                  Reporting& reporting, FileSystem& disk) {
  std::vector<FoundEntry> found = SearchFolders(request.folders, options.pattern, options.subdirs,
                                                OrderOption(options.order, options.reverse),
                                                /*markAll=*/true, reporting, &disk);
  std::vector<std::string> ownFiles = JournalFilePaths(disk, JournalPathOf(options));
  if (!options.dryRun) ownFiles.push_back(LogPathIn(ChooseLogFolder(ProgramFolder())));
  LeaveOutOwnFiles(found, ownFiles);
  if (UsesFields(request.job)) {
    TagFieldSource fields(disk);
    ReadMissingFields(found, fields);
  }
  return found;
}

// The run itself, every file operation journaled before and after, so that
// undo can restore every file whenever the run ends. It follows the plan
// --check printed, or one made here when nothing was printed.
int RunJournaled(const RunRequest& request, const CheckedJob& job,
                 const std::vector<FoundEntry>& found, std::optional<RunPlan>& plan,
                 const CliOptions& options, Reporting& reporting, PosixFileSystem& disk,
                 JournalFile& journalFile) {
  JournalWriter journal(journalFile, reporting.reporter());
  // Benchmarks alone turn the journal off, to tell its share of a run.
  const bool journalOn = TestHook("VELMORA_BENCH_NO_JOURNAL") == nullptr;
  if (const Error error = journalOn ? journal.Begin(RunKindName(request.kind)) : Error{}) {
    PrintError(error, kJournalWriteContext, journalFile.path());
    return kExitUsage;
  }
  TerminalDialogs dialogs(options.yesAll, options.overwriteAll, HasTerminal());
  journal.DeferDoneRecords(true);
  journalFile.KeepLockBriefly(true);
  dialogs.BeforeWaiting([&journal] { (void)journal.Settle(); });
  RunState state;
  state.context.destPath = request.destPath;
  state.context.reporter = &reporting.reporter();
  state.resolveChains = options.resolveChains;
  StepPrinter printer;
  RunTally tally(printer, dialogs, found.size());
  PosixFileSystem planDisk;
  StepStop stop;
  RunServices services{.fileSystem = disk,
                       .dialogs = tally,
                       .messages = reporting.messages(),
                       .reporter = reporting.reporter(),
                       .log = reporting.log(),
                       .progress = &tally.progress(),
                       .committed = &tally,
                       .journal = journalOn ? &journal : nullptr,
                       .stop = &stop,
                       .planDisk = &planDisk};
  if (!plan) {
    plan = PlanWithAnswers(request.kind, job, found, request.destPath, options,
                           /*withSteps=*/options.resolveChains, disk);
  }
  disk.KeepListingsForPlan(false);
  RunCommand(request.kind, state, job, found, services, options.log, &*plan);
  if (journalOn) journal.End();
  tally.PrintSummary(request.kind, reporting);
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

// What a run holds until the process ends: freeing tens of thousands of
// paths one by one costs more than a small run's own work on them, and the
// process exits right after. Held through a static, so leak checkers do
// not count it.
void KeepUntilExit(std::vector<FoundEntry>&& found, std::optional<RunPlan>&& plan) {
  struct Kept {
    std::vector<FoundEntry> found;
    std::optional<RunPlan> plan;
  };
  static Kept* const kept = new Kept{std::move(found), std::move(plan)};
  (void)kept;
}

int RunJob(RunKind kind, const CliOptions& options) {
  if (!options.saveJob.empty()) return SaveJob(options);
  std::optional<RunRequest> request = ReadRequest(kind, options);
  if (!request) return kExitUsage;
  if (!options.dryRun && !MayAsk(options)) return kExitUsage;

  // A dry run leaves the disk alone, log file and journal included.
  Reporting reporting(/*withLogFile=*/!options.dryRun);
  const std::optional<CheckedJob> job = CheckJob(request->job, reporting.messages());
  if (!job) return kExitUsage;
  PosixFileSystem disk;
  // The plan is made through the same disk, pinned first: it may take the
  // search's listing of a searched folder that has not changed since. The
  // folders below are entered only when the run gets there: their listings
  // would be read again anyway.
  disk.KeepListingsForPlan(!options.subdirs);
  std::vector<FoundEntry> found = FindFiles(*request, options, reporting, disk);
  if (!PinFolders(disk, request->folders)) return kExitFailure;
  std::optional<RunPlan> plan;
  if (options.dryRun || options.check) {
    plan = PlanWithAnswers(kind, *job, found, request->destPath, options, /*withSteps=*/true, disk);
    if (const std::optional<int> status = PrintPlanFirst(*plan, options, reporting)) {
      KeepUntilExit(std::move(found), std::move(plan));
      return *status;
    }
  }
  if (!PinFolders(disk, {request->destPath})) return kExitFailure;
  // An interrupted run is named first; the segments looked at then are not
  // read again when the run trims the journal.
  JournalFile journalFile(JournalPathOf(options, /*forWriting=*/true));
  if (!WarnOfInterruptedRuns(journalFile, options.yesAll)) return kExitFailure;
  const int status =
      RunJournaled(*request, *job, found, plan, options, reporting, disk, journalFile);
  KeepUntilExit(std::move(found), std::move(plan));
  return status;
}

}  // namespace

int RenameMain(const CliOptions& options) { return RunJob(RunKind::kRename, options); }
int CopyMain(const CliOptions& options) { return RunJob(RunKind::kCopy, options); }
int MoveMain(const CliOptions& options) { return RunJob(RunKind::kMove, options); }

int UndoMain(const CliOptions& options) {
  JournalFile file(JournalPathOf(options));
  JournalContents contents;
  if (const Error error = file.Read(contents)) {
    PrintError(error, kJournalReadContext, file.path());
    return kExitUsage;
  }
  for (const std::string& where : contents.warnings) {
    PrintProblem(
        WithArgs(Tr("velmora", "Beschädigter Eintrag im Journal übersprungen: %1"), {where}));
  }
  if (!options.dismiss.empty()) return DismissRun(file, contents, options.dismiss);
  if (!MayAsk(options)) return kExitUsage;

  Reporting reporting;
  // No overwrite in undo: a taken target keeps its step, whatever
  // --overwrite-all says.
  TerminalDialogs dialogs(options.yesAll, /*overwriteAll=*/false, HasTerminal());
  UndoJournalSteps(file, contents, options.lastRun, dialogs, reporting);
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

}  // namespace velmora::cli
