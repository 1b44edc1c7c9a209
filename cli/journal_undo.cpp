#include "cli/journal_undo.h"

#include <cstdio>

#include "services/journal_undo.h"

namespace velmora::cli {
namespace {

class ConsoleUndoOutput : public UndoOutput {
 public:
  void Committed(const std::string& source, const std::string& destination) override {
    printer_.Committed(source, destination);
  }
  void Removed(const std::string& path) override {
    std::printf("entfernt: %s\n", ConsoleName(path).c_str());
    std::fflush(stdout);
  }
  void RunStays(const std::string& run) override {
    PrintProblem("Lauf " + run + " läuft noch; seine Schritte bleiben im Journal.");
  }

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
    PrintProblem(std::to_string(left) + (left == 1 ? " Schritt bleibt" : " Schritte bleiben") +
                 " im Journal " + file.path());
  }
}

}  // namespace velmora::cli
