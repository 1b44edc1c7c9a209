#include "cli/journal_undo.h"

#include <cstdio>
#include <set>

#include "engine/commit.h"
#include "services/posix_file_system.h"
#include "services/translation.h"

namespace velmora::cli {
namespace {

// Undo asks each step as a run does, but never overwrites: a taken target
// keeps the step in the journal, whatever was answered in advance.
class NoOverwriteDialogs : public RunDialogs {
 public:
  explicit NoOverwriteDialogs(RunDialogs& inner) : inner_(inner) {}
  int AskDialog(const std::string& nameSrc, const std::string& nameDest,
                const RunFlags& flags) override {
    const int answer = inner_.AskDialog(nameSrc, nameDest, flags);
    return answer >= kAnswerYes && answer <= kAnswerCancel ? answer : kAnswerCancel;
  }
  int AskDialog2(const std::string&) override { return kAnswerCancel; }

 private:
  RunDialogs& inner_;
};

RunFlags FlagsOf(char kind) {
  return RunFlags{kind == '1', kind == '2', kind == '3'};
}

bool KnownKind(char kind) { return kind == '1' || kind == '2' || kind == '3'; }

// The steps to take back, newest first: those of runs not still going on in
// another process, of the newest such run only when lastRunOnly.
std::vector<std::size_t> StepsToUndo(const JournalContents& contents, bool lastRunOnly) {
  std::set<std::string> runs;
  for (auto run = contents.runs.rbegin(); run != contents.runs.rend(); ++run) {
    if (RunInProgress(*run)) {
      PrintProblem(
          WithArgs(Tr("velmora", "Lauf %1 läuft noch; seine Schritte bleiben im Journal."), {run->id}));
      continue;
    }
    bool open = false;
    for (const JournalStep& step : contents.steps) {
      open = open || (step.run == run->id && (step.state == StepState::kDone ||
                                             step.state == StepState::kPending));
    }
    if (!open) continue;
    runs.insert(run->id);
    if (lastRunOnly) break;
  }
  std::vector<std::size_t> order;
  for (std::size_t i = contents.steps.size(); i-- > 0;) {
    const JournalStep& step = contents.steps[i];
    if (runs.count(step.run) != 0 &&
        (step.state == StepState::kDone || step.state == StepState::kPending)) {
      order.push_back(i);
    }
  }
  return order;
}

// A pending step went through when its source is gone (a copy's stays) and
// its target holds the file the intent saw.
bool SettledDone(JournalStep& step) {
  const bool sourceGone = !IdentityOf(step.source).known;
  if (!SameIdentity(IdentityOf(step.target), step.before) || !(step.kind == '3' || sourceGone)) {
    return false;
  }
  step.after = step.before;
  step.state = StepState::kDone;
  return true;
}

class Undo {
 public:
  Undo(JournalFile& file, RunDialogs& dialogs, Reporting& reporting)
      : writer_(file, reporting.reporter()),
        dialogs_(dialogs),
        reporting_(reporting),
        services_{disk_, dialogs_, reporting.messages(), reporting.reporter(), reporting.log()} {
    services_.committed = &printer_;
    services_.journal = &writer_;
    ResetRunFlags(state_);
  }

  JournalWriter& writer() { return writer_; }

  // False ends the walk: "&Abbrechen", or the journal cannot be written.
  bool Step(JournalStep& step) {
    if (!KnownKind(step.kind)) {
      Refuse(Tr("velmora", "Schritt kann nicht zurückgenommen werden:") + " " + step.source + " -> " +
             step.target);
      return true;
    }
    if (step.state == StepState::kPending && !SettledDone(step)) {
      return !writer_.NotDone(step.run, step.seq);
    }
    const FileIdentity now = IdentityOf(step.target);
    // Nothing at the new path: nothing to take back.
    if (!now.known) return !writer_.Undone(step.run, step.seq);
    // Without a recorded identity (version 1) a copy must still match its original.
    const FileIdentity expected =
        step.after.known ? step.after : step.kind == '3' ? IdentityOf(step.source) : now;
    if (!SameIdentity(now, expected)) {
      Refuse(Tr("velmora", "Datei seit dem Lauf geändert, nicht zurückgenommen:") + " " + step.target);
      return true;
    }
    const bool sameFile = disk_.SameFile(step.target, step.source);
    if (step.kind != '3' && IdentityOf(step.source).known && !sameFile) {
      Refuse(Tr("velmora", "Ziel vorhanden, nicht zurückgenommen:") + " " + step.source);
      return true;
    }

    state_.nameSrc = step.target;
    state_.nameDest = step.source;
    state_.context.flags = FlagsOf(step.kind);
    const int answer = all_ ? kAnswerYes : dialogs_.AskDialog(step.target, step.source,
                                                              state_.context.flags);
    if (answer == kAnswerCancel) return false;
    if (answer == kAnswerNo) return true;
    all_ = all_ || answer == kAnswerAll;
    return step.kind == '3' ? RemoveCopy(step, sameFile) : MoveBack(step);
  }

  void End() {
    state_.context.flags = RunFlags{};
    writer_.End();
  }

 private:
  void Refuse(const std::string& text) { reporting_.messages().ShowMessage(text); }

  // The copy goes; the original, edited since or not, stays.
  bool RemoveCopy(const JournalStep& step, bool sameFile) {
    if (!sameFile) {
      if (const Error error = disk_.Delete(step.target)) {
        reporting_.reporter().ReportError(0, error.number, VELMORA_TEXT("velmora", "Fehler beim Löschen"), step.target,
                                          error.description);
        return true;
      }
      std::printf("%s %s\n", Tr("velmora", "entfernt:").c_str(), step.target.c_str());
      std::fflush(stdout);
    }
    return !writer_.Undone(step.run, step.seq);
  }

  bool MoveBack(const JournalStep& step) {
    const CommitResult result = CommitFile(state_, step.target, step.source, services_);
    if (result == CommitResult::kStopRun) return false;
    if (result == CommitResult::kCommitted) return !writer_.Undone(step.run, step.seq);
    // Not taken back: this undo's own steps for it cancel out when the file
    // is where it was; otherwise they stay for the next undo.
    if (SameIdentity(IdentityOf(step.target), step.after.known ? step.after : step.before)) {
      return !writer_.Undone("", 0);
    }
    writer_.TakeOwnSteps();
    return true;
  }

  PosixFileSystem disk_;
  JournalWriter writer_;
  NoOverwriteDialogs dialogs_;
  Reporting& reporting_;
  StepPrinter printer_;
  RunState state_;
  RunServices services_;
  bool all_ = false;
};

}  // namespace

void UndoJournalSteps(JournalFile& file, JournalContents& contents, bool lastRunOnly,
                      RunDialogs& dialogs, Reporting& reporting) {
  const std::vector<std::size_t> order = StepsToUndo(contents, lastRunOnly);
  Undo undo(file, dialogs, reporting);
  if (const Error error = undo.writer().Begin("undo")) {
    reporting.reporter().ReportError(0, error.number, kJournalWriteContext, file.path(),
                                     error.description);
    return;
  }
  for (std::size_t index : order) {
    if (!undo.Step(contents.steps[index])) break;
  }
  undo.End();
  int left = 0;
  if (const Error error = file.Compact(&left)) {
    reporting.reporter().ReportError(0, error.number, kJournalWriteContext, file.path(),
                                     error.description);
  }
  if (left > 0) {
    PrintProblem(left == 1 ? WithArgs(Tr("velmora", "1 Schritt bleibt im Journal %1"), {file.path()})
                           : WithArgs(Tr("velmora", "%1 Schritte bleiben im Journal %2"),
                                    {std::to_string(left), file.path()}));
  }
}

}  // namespace velmora::cli
