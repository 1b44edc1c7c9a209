// The main window's runs: rename, copy and move with their destination, the
// folders a run pins, undo through the journal and the offer of an
// interrupted run, and the controls a run locks.
#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "engine/report_contexts.h"
#include "services/error_log.h"
#include "services/journal_undo.h"
#include "services/own_file.h"
#include "services/session_journal.h"
#include "services/settings.h"
#include "services/translation.h"
#include "tags/tag_fields.h"
#include "ui/dir_search_dialog.h"
#include "ui/input_guard.h"
#include "ui/interrupted_run.h"
#include "ui/main_window.h"
#include "ui/search_panel.h"
#include "ui/slot_panel.h"

namespace velmora {

namespace {

// The window shows the undone files by searching again afterwards.
class QuietUndoOutput : public UndoOutput {
 public:
  void Committed(const std::string&, const std::string&) override {}
  void Removed(const std::string&) override {}
  void RunStays(const std::string&) override {}
};

bool AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(parent);
  PreparePlainBox(box, QStringLiteral("MessageBox"), text);
  QPushButton* yes =
      box.addButton(QCoreApplication::translate("velmora", "&Ja"), QMessageBox::YesRole);
  box.addButton(QCoreApplication::translate("velmora", "&Nein"), QMessageBox::NoRole);
  box.exec();
  return box.clickedButton() == yes;
}

}  // namespace

void Main::CmdRename_Click() {
  ResetRunFlags();
  RunJob(RunKind::kRename);
}

void Main::CmdCopy_Click() {
  ResetRunFlags();
  ChooseDestination();
  RunJob(RunKind::kCopy);
}

void Main::CmdMove_Click() {
  ResetRunFlags();
  ChooseDestination();
  RunJob(RunKind::kMove);
}

void Main::ChooseDestination() {
  const std::optional<AcceptedDestination> chosen = DirSearch::Choose(
      state_.context.destPath, destDrive_, drives_, fileSystem_, *settings_, this);
  repaint();
  if (!chosen) return;
  state_.context.destPath = chosen->destPath;
  destDrive_ = chosen->destDrive;
}

void Main::RunJob(RunKind kind) {
  RenameJob asked = slotPanel_->ReadJob();
  std::vector<FoundEntry> found = command_->Found().Entries();
  if (UsesFields(asked)) {
    // What the preview has not read yet; a run takes no input meanwhile.
    TagFieldSource fields(fileSystem_);
    ReadMissingFields(found, fields);
  }
  // A destination restored from the settings is stored without its final
  // separator; the run appends file names to it, so it must end in one.
  std::string& destPath = state_.context.destPath;
  if (kind != RunKind::kRename) destPath = WithTrailingSeparator(std::move(destPath));
  planDisk_ = PosixFileSystem();  // mounts may have changed since the last run
  // The log file is written during the run; it is never one of its steps.
  LeaveOutOwnFile(found, logPath_);
  LeaveOutOwnFiles(found, JournalFilePaths(journal_->file().disk(), journal_->file().path()));
  if (!OfferInterruptedRuns()) return;
  if (!PinRunFolders(kind)) return;
  BeginRun();
  journal_->SetCommand(RunKindName(kind));
  journal_->GroupCommit();
  tally_.Clear();
  const int errorsBefore = errorLog_->reportedCount();
  const std::optional<CheckedJob> job = CheckJob(std::move(asked), messages_);
  std::optional<RunResult> result;
  if (job) result = RunCommand(kind, state_, *job, found, *services_, LogOptionOn());
  journal_->Finished();
  RepeatSearch();
  statusBar()->showMessage(
      RunReportText(kind, tally_.Files(), errorLog_->reportedCount() - errorsBefore));
  if (!result) return;
  // Codes out of range read as no operation.
  for (int i = 0; i < kSlotCount; ++i) {
    const int code = result->slotCodes[static_cast<std::size_t>(i)];
    if (code != slotPanel_->SlotCode(i)) slotPanel_->SetSlotCode(i, code);
  }
}

// The run works through the folders the search listed, whatever is put in
// their place meanwhile; one that changed since is named and nothing runs.
bool Main::PinRunFolders(RunKind kind) {
  fileSystem_.UnpinFolders();
  std::vector<std::string> folders{command_->SearchedFolder()};
  if (kind != RunKind::kRename) folders.push_back(state_.context.destPath);
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    if (const Error error = fileSystem_.PinFolder(folder)) {
      errorLog_->ReportError(Location::kNone, error.number, kSearchErrorContext, folder,
                             error.description);
      fileSystem_.UnpinFolders();
      return false;
    }
  }
  return true;
}

void Main::MnuUndo_Click() {
  ResetRunFlags();
  JournalContents contents;
  if (const Error error = journal_->file().Read(contents); error && error.number != kFileNotFound) {
    errorLog_->ReportError(Location::kNone, error.number, kJournalReadContext,
                           journal_->file().path(), error.description);
    return;
  }
  // Every run of this window, newest first, as long as one has steps left.
  std::vector<std::string> runs;
  const std::vector<std::string>& own = journal_->ownRuns();
  for (auto run = own.rbegin(); run != own.rend(); ++run) {
    if (RunHasSteps(contents, *run)) runs.push_back(*run);
  }
  if (runs.empty()) {
    // Nothing of its own: the newest run a closed or crashed window left.
    QuietUndoOutput output;
    runs = RunsToUndo(journal_->file(), contents, /*lastRunOnly=*/true, output, errorLog_.get());
    if (runs.empty()) return;
    const JournalRun* run = nullptr;
    for (const JournalRun& known : contents.runs) {
      if (known.id == runs.front()) run = &known;
    }
    const QString question =
        tr("Den Lauf vom %1 zurücknehmen?").arg(QString::fromStdString(LocalRunTime(run->began)));
    if (run->ended.empty() && !run->dismissed) {
      // Cut short: it may also be ended without undoing it.
      const RunOffer offer =
          OfferRun(this, question, QStringLiteral("&Ja"), QStringLiteral("&Nein"));
      if (offer == RunOffer::kDismiss) DismissRun(run->id);
      if (offer != RunOffer::kTakeBack) return;
    } else if (!AskYesNo(this, question)) {
      return;
    }
  }
  TakeBackRuns(contents, runs);
}

void Main::TakeBackRuns(JournalContents& contents, const std::vector<std::string>& runs) {
  BeginRun();
  QuietUndoOutput output;
  UndoServices undo{*dialogs_, messages_, *errorLog_, *log_, output, &runStop_};
  UndoJournalRuns(journal_->file(), contents, runs, undo);
  RepeatSearch();
}

bool Main::OfferInterruptedRuns() {
  if (!JournalMayHoldInterruptedRuns(journal_->file().disk(), journal_->file().path())) return true;
  JournalContents contents;
  // A journal that cannot be read is reported by the run's first write.
  if (journal_->file().Read(contents)) return true;
  const std::vector<std::string>& own = journal_->ownRuns();
  std::vector<JournalRun> runs = InterruptedRuns(journal_->file(), contents);
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    if (std::find(own.begin(), own.end(), run->id) != own.end()) continue;
    const QString text = tr("Der Lauf vom %1 (%2) wurde abgebrochen und nicht zurückgenommen.")
                             .arg(QString::fromStdString(LocalRunTime(run->began)),
                                  QString::fromStdString(run->command));
    switch (OfferRun(this, text, tr("Zurück"), tr("&Weiter"))) {
      case RunOffer::kTakeBack:
        TakeBackRuns(contents, {run->id});
        return false;
      case RunOffer::kDismiss:
        DismissRun(run->id);
        break;
      case RunOffer::kLeave:
        break;
    }
  }
  return true;
}

void Main::DismissRun(const std::string& run) {
  if (const Error error = journal_->file().Dismiss(run)) {
    errorLog_->ReportError(Location::kNone, error.number, kJournalWriteContext,
                           journal_->file().path(), error.description);
  }
}

void Main::BeginRun() {
  runStop_.Start();
  statusBar()->clearMessage();
  progBar_->setFormat(CountOfText(0, progBar_->maximum()));
  progBar_->setTextVisible(true);
  searchPanel_->cmdExit()->setText(UiText(kCaptionCancel));
  inputGuard_->SetActive(true);
}

void Main::EndRun() {
  if (!runStop_.running()) return;
  runStop_.Finish();
  progBar_->setTextVisible(false);
  CaptionsChanged();
}

}  // namespace velmora
