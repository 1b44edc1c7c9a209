#include "cli/journal_undo.h"

#include <cstdio>

#include "cli/run_summary.h"
#include "services/journal_undo.h"
#include "services/translation.h"

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
  const int left =
      UndoJournalRuns(file, contents, RunsToUndo(contents, lastRunOnly, output), services);
  if (left > 0) {
    PrintProblem(left == 1
                     ? WithArgs(Tr("velmora", "1 Schritt bleibt im Journal %1"), {file.path()})
                     : WithArgs(Tr("velmora", "%1 Schritte bleiben im Journal %2"),
                                {std::to_string(left), file.path()}));
  }
  PrintRunSummary(SummaryKind::kUndone, output.done, reporting.Failures(), reporting.Notes());
}

}  // namespace velmora::cli
