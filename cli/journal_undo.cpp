#include "cli/journal_undo.h"

#include <cstdio>

#include "cli/cli_options.h"
#include "cli/interrupt.h"
#include "cli/run_summary.h"
#include "cli/terminal_prompts.h"
#include "engine/path.h"
#include "services/error_log.h"
#include "services/journal_undo.h"
#include "services/language.h"
#include "services/posix_file_system.h"

namespace velmora::cli {
namespace {

class ConsoleUndoOutput : public UndoOutput {
 public:
  void Committed(const std::string& source, const std::string& destination) override {
    printer_.Committed(source, destination);
    ++done;
  }
  void Removed(const std::string& path) override {
    ++done;
    std::printf("%s %s\n", Tr("velmora", "entfernt:").c_str(), ConsoleName(path).c_str());
    std::fflush(stdout);
  }
  void RunStays(const std::string& run) override {
    PrintProblem(
        WithArgs(Tr("velmora", "Lauf %1 läuft noch; seine Schritte bleiben im Journal."), {run}));
  }

  int done = 0;  // steps taken back

 private:
  StepPrinter printer_;
};

}  // namespace

void UndoJournalSteps(JournalFile& file, JournalContents& contents, bool lastRunOnly,
                      RunDialogs& dialogs, Reporting& reporting) {
  ConsoleUndoOutput output;
  UndoServices services{dialogs, reporting.messages(), reporting.reporter(), reporting.log(),
                        output};
  // Ctrl+C or a closed terminal stops after the step in progress; the rest stays.
  StepStop stop;
  services.stop = &stop;
  const int left = UndoJournalRuns(
      file, contents, RunsToUndo(file, contents, lastRunOnly, output, &reporting.reporter()),
      services);
  if (left > 0) {
    PrintProblem(left == 1
                     ? WithArgs(Tr("velmora", "1 Schritt bleibt im Journal %1"), {file.path()})
                     : WithArgs(Tr("velmora", "%1 Schritte bleiben im Journal %2"),
                                {std::to_string(left), file.path()}));
  }
  PrintRunSummary(SummaryKind::kUndone, output.done, reporting.Failures(), reporting.Notes());
}

namespace {

// The command that takes run back: --last only while it is the newest with steps.
std::string UndoCommandFor(JournalFile& file, const JournalContents& contents,
                           const std::string& run) {
  ConsoleUndoOutput quiet;
  const std::vector<std::string> newest = RunsToUndo(file, contents, /*lastRunOnly=*/true, quiet);
  return !newest.empty() && newest.front() == run ? "velmora-cli undo --last" : "velmora-cli undo";
}

}  // namespace

bool WarnOfInterruptedRuns(JournalFile& file, bool yesAll) {
  if (!file.MayHoldInterruptedRuns()) return true;
  JournalContents contents;
  if (file.Read(contents)) return true;  // none yet, or the run's first write reports it
  const std::vector<JournalRun> runs = InterruptedRuns(file, contents);
  if (runs.empty()) return true;
  for (const JournalRun& run : runs) {
    PrintProblem(
        WithArgs(Tr("velmora",
                    "Lauf %1 (%2, begonnen %3) wurde abgebrochen und nicht "
                    "zurückgenommen. Zurücknehmen: %4; ohne Zurücknehmen beenden: "
                    "velmora-cli undo --dismiss %1"),
                 {run.id, run.command, run.began, UndoCommandFor(file, contents, run.id)}));
  }
  if (yesAll) return true;
  return AskYesNo(Tr("velmora", "Trotzdem fortfahren?"));
}

int DismissRun(JournalFile& file, const JournalContents& contents, const std::string& run) {
  for (const JournalRun& known : InterruptedRuns(file, contents)) {
    if (known.id != run) continue;
    if (const Error error = file.Dismiss(run)) {
      std::fprintf(stderr, "%s\n",
                   ConsoleText(ErrorMessageText(error.number, kJournalWriteContext, file.path(),
                                                error.description))
                       .c_str());
      return kExitFailure;
    }
    return kExitOk;
  }
  PrintProblem(
      WithArgs(Tr("velmora", "Kein abgebrochener Lauf %1 im Journal %2"), {run, file.path()}));
  return kExitUsage;
}

std::string JournalPathOf(const CliOptions& options, bool forWriting) {
  if (!options.journal.empty()) return options.journal;
  const std::string path = DefaultJournalPath();
  if (forWriting) (void)MakeFolders(SplitPath(path, true), 0700);
  return path;
}

}  // namespace velmora::cli
