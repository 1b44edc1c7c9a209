// The main window `Main`, "Velmora": it owns the program's state (the search
// and its found list, the rename job, the run variables and the journal,
// destination, menu options) and wires its panels to the engine. Handlers
// read the controls, call the engine and show what it answers.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <memory>
#include <string>

#include "engine/batch_run.h"
#include "engine/batch_run_state.h"
#include "search/search_command.h"
#include "services/drives.h"
#include "services/posix_file_system.h"
#include "ui/message_box.h"
#include "ui/qt_prompts.h"
#include "ui/run_report.h"

class QAction;
class QMenu;
class QProgressBar;
class QSplitter;
class QStackedWidget;

namespace velmora {

class ErrorLog;
class FileLogWriter;
class FoundPanel;
class InfoWindows;
class InputGuard;
class MainTagHost;
class PreviewPanel;
class SearchPanel;
class SessionJournal;
class SettleFirst;
struct JournalContents;
class SettingsStore;
class SlotPanel;
class TagPanel;

// Where the window finds what lies outside it; tests point it at temporary
// folders.
struct MainEnvironment {
  std::string appPath;        // the program's folder; "" = where the program lies
  std::string commandLine;    // the command line's argument text
  std::string workingFolder;  // relative command lines start here
  std::string settingsFile;   // an INI file; "" = the user's own settings store
  std::string journalFile;    // "" = the default journal
  std::string mountTable = kMountTable;
};

class Main : public QMainWindow, private SearchHost {
  Q_OBJECT

 public:
  explicit Main(MainEnvironment environment, QWidget* parent = nullptr);
  ~Main() override;

  // Start-up: log preparation, start folder and settings, lists and flags.
  // Each stage fails silently, as far as it got.
  void Form_Load();

  // Handlers of the window's own controls and menu items.
  void cmdSearch_Click();
  void cmdExit_Click();
  void CmdRename_Click();
  void CmdCopy_Click();
  void CmdMove_Click();
  // "Zurück": every run of this window with steps left, newest first; in a
  // window without such runs the newest finished run of the journal, after
  // a question.
  void MnuUndo_Click();
  void OptLogFile_Click();
  void OptExplorerLink_Click();
  void MnuHilfe_Click();
  void MnuHistorie_Click();
  void MnuAbout_Click();

  // The run's ResetRunFlags plus what belongs to the window: a search in
  // progress stops, the progress bar's minimum is 0.
  void ResetRunFlags() override;

  // The window's public variables, as shown and logged.
  [[nodiscard]] const std::string& destPath() const { return state_.context.destPath; }
  [[nodiscard]] const std::string& logPath() const { return logPath_; }
  // The found list with its marks, as the last search left it.
  [[nodiscard]] const FoundList& Found() const { return command_->Found(); }

  // Size, position and the splitter's sizes into the settings; at the end of
  // the program, and for tests.
  void SaveWindowGeometry();

  // "Optionen → Sprache": "de", "en" or "" (as the system), stored for the
  // next start.
  void OptLanguage_Click(const std::string& choice);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // SearchHost.
  void ProcessPendingEvents() override;
  void KeepResponsive() override { ProcessPendingEvents(); }
  void CaptionsChanged() override;
  void CountChanged() override;
  void ShowCountNow() override;
  // After a run or an undo: the search pressed twice (reset, then search
  // again), so that the found list shows the names as they now are.
  void RepeatSearch();

  [[nodiscard]] bool LogOptionOn() const;
  void BuildMenu();
  void BuildLanguageMenu(QMenu* options);
  void RestoreWindowGeometry();
  void BuildLayout();
  // The window's own reactions to its panels' buttons and signals.
  void ConnectPanels();
  void ShowSearchResult(const SearchResult& result);
  void SetSearching(bool searching);
  void RunJob(RunKind kind);
  // Offers each interrupted run of the journal before a run can bury it;
  // false when one was taken back instead (the run then does not start).
  bool OfferInterruptedRuns();
  void DismissRun(const std::string& run);
  // Takes runs of contents back, "Zurück" as the window does it.
  void TakeBackRuns(JournalContents& contents, const std::vector<std::string>& runs);
  // Around a run or an undo: the exit button reads "Abbrechen" and is the
  // only live control; EndRun puts the search's captions back.
  void BeginRun();
  void EndRun();
  void ChooseDestination();
  bool PinRunFolders(RunKind kind);
  void EndProgram();

  MainEnvironment environment_;
  std::string appPath_;
  std::string logPath_;
  std::string destDrive_;
  bool ending_ = false;
  bool countDirty_ = false;
  int shownRows_ = 0;
  QElapsedTimer sinceListShown_;

  PosixFileSystem fileSystem_;  // also what the lists and the search read
  PosixFileSystem planDisk_;    // what each run plans over when it starts
  MountedDrives drives_;
  std::unique_ptr<SettingsStore> settings_;
  QtMessageSink messages_;
  std::unique_ptr<FileLogWriter> log_;
  std::unique_ptr<ErrorLog> errorLog_;
  std::unique_ptr<SearchCommand> command_;
  RunState state_;
  std::unique_ptr<QtRunDialogs> dialogs_;
  std::unique_ptr<QtProgressBar> progress_;
  QtRunStop runStop_;
  std::unique_ptr<RunServices> services_;
  std::unique_ptr<SessionJournal> journal_;  // the undo records of runs and tag runs
  // A run's questions and messages: the journal's held-back records go first.
  std::unique_ptr<SettleFirst> settleFirst_;
  std::unique_ptr<MainTagHost> tagHost_;
  std::unique_ptr<InfoWindows> infoWindows_;
  RunTally tally_;  // what the last run did, for the status line

  SearchPanel* searchPanel_ = nullptr;
  FoundPanel* foundPanel_ = nullptr;
  PreviewPanel* previewPanel_ = nullptr;
  SlotPanel* slotPanel_ = nullptr;
  TagPanel* tagPanel_ = nullptr;
  QStackedWidget* lowerStack_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QProgressBar* progBar_ = nullptr;
  InputGuard* inputGuard_ = nullptr;
  QAction* mnuUndo_ = nullptr;
  QAction* optLogFile_ = nullptr;
  QAction* optResolveChains_ = nullptr;
};

}  // namespace velmora
