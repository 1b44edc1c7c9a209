#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/file_system.h"
#include "engine/path.h"
#include "engine/user_text.h"
#include "services/error_log.h"
#include "services/own_file.h"
#include "services/session_journal.h"
#include "services/settings.h"
#include "services/settle_first.h"
#include "services/translation.h"
#include "ui/app_icon.h"
#include "ui/drive_list.h"
#include "ui/explorer_link.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui/found_panel.h"
#include "ui/info_windows.h"
#include "ui/input_guard.h"
#include "ui/job_menu.h"
#include "ui/main_tag_host.h"
#include "ui/order_menu.h"
#include "ui/preview_panel.h"
#include "ui/search_panel.h"
#include "ui/slot_panel.h"
#include "ui/tag_panel.h"
#include "ui/window_geometry.h"

namespace velmora {

namespace {

// During a search the list is redrawn at most this often; the count every time.
constexpr qint64 kListRefreshMs = 250;

std::unique_ptr<SettingsStore> OpenSettings(const std::string& file) {
  return file.empty() ? std::make_unique<SettingsStore>() : std::make_unique<SettingsStore>(file);
}

QAction* MenuCommand(QMenuBar* bar, const char* name, const QString& caption) {
  QAction* action = bar->addAction(caption);
  action->setObjectName(QLatin1String(name));
  return action;
}

}  // namespace

Main::Main(MainEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      environment_(std::move(environment)),
      appPath_(environment_.appPath.empty() ? ProgramFolder() : environment_.appPath),
      drives_(environment_.mountTable),
      settings_(OpenSettings(environment_.settingsFile)),
      messages_(this) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(QString::fromLatin1(kAppTitle));
  setWindowIcon(VelmoraIcon());
  logPath_ = LogPathIn(ChooseLogFolder(appPath_));
  log_ = std::make_unique<FileLogWriter>(logPath_, messages_);
  errorLog_ = std::make_unique<ErrorLog>(messages_, *log_);
  SearchHost& host = *this;
  command_ = std::make_unique<SearchCommand>(fileSystem_, *settings_, host, messages_, *errorLog_);
  dialogs_ = std::make_unique<QtRunDialogs>(this);
  tagHost_ = std::make_unique<MainTagHost>(
      command_->Found(), [this] { return LogOptionOn(); },
      [this](int value) { progBar_->setValue(value); },
      [this] {
        cmdSearch_Click();
        cmdSearch_Click();
      },
      [this] { return PinRunFolders(RunKind::kRename); }, [this] { fileSystem_.UnpinFolders(); });
  infoWindows_ = std::make_unique<InfoWindows>(appPath_);

  BuildLayout();
  BuildMenu();
  progress_ = std::make_unique<QtProgressBar>(progBar_);
  inputGuard_ = new InputGuard(this, searchPanel_->cmdExit());
  // The journal keeps the undo records, committed steps only, across restarts.
  journal_ = std::make_unique<SessionJournal>(environment_.journalFile, *errorLog_);
  settleFirst_ = std::make_unique<SettleFirst>([this] { (void)journal_->Settle(); }, *dialogs_,
                                               messages_, *errorLog_);
  // The operations of a run report where the run does.
  state_.context.reporter = settleFirst_.get();
  services_ = std::make_unique<RunServices>(RunServices{.fileSystem = fileSystem_,
                                                        .dialogs = *settleFirst_,
                                                        .messages = *settleFirst_,
                                                        .reporter = *settleFirst_,
                                                        .log = *log_,
                                                        .progress = progress_.get(),
                                                        .committed = &tally_,
                                                        .journal = journal_.get(),
                                                        .stop = &runStop_,
                                                        .planDisk = &planDisk_});
  tagPanel_->SetJournal(journal_.get());
  sinceListShown_.start();
}

Main::~Main() = default;

void Main::BuildLayout() {
  searchPanel_ = new SearchPanel(drives_, fileSystem_, this);
  foundPanel_ = new FoundPanel(command_->Found(), this);
  slotPanel_ = new SlotPanel(this);
  lowerStack_ = new QStackedWidget(this);
  lowerStack_->setObjectName(QStringLiteral("lowerStack"));
  lowerStack_->addWidget(slotPanel_);
  tagPanel_ = new TagPanel(fileSystem_, *errorLog_, *log_, *tagHost_, this);
  lowerStack_->addWidget(tagPanel_);
  lowerStack_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  progBar_ = new QProgressBar(this);
  progBar_->setObjectName(QStringLiteral("ProgBar"));
  progBar_->setTextVisible(false);
  progBar_->setRange(0, 1);
  progBar_->setValue(0);

  previewPanel_ =
      new PreviewPanel(command_->Found(), *foundPanel_, *slotPanel_, *searchPanel_, this);

  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName(QStringLiteral("splitter"));
  splitter_ = split;
  split->addWidget(searchPanel_);
  split->addWidget(foundPanel_);
  split->addWidget(previewPanel_);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setStretchFactor(2, 1);
  split->setChildrenCollapsible(false);
  split->setSizes({290, 400, 310});

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(split, 1);
  layout->addWidget(lowerStack_);
  layout->addWidget(progBar_);
  // On a screen smaller than the controls need (a small one, or a large
  // scale) the window stays on the screen and its content scrolls.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("MainScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(central);
  setCentralWidget(scroll);
  statusBar()->setObjectName(QStringLiteral("StatusLine"));
  // Room for everything at 1024 x 768 with the desktop's panels and frame.
  QSize size(1000, 700);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableGeometry().size() * 0.95);
  }
  resize(size);
  ConnectPanels();
}

void Main::ConnectPanels() {
  SearchPanel* search = searchPanel_;
  connect(search->cmdSearch(), &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
  connect(search->cmdExit(), &QPushButton::clicked, this, [this] { cmdExit_Click(); });
  connect(search->OptSubdirs(), &QRadioButton::clicked, this,
          [this] { command_->OptSubdirs_Click(); });
  connect(slotPanel_->CmdRename(), &QPushButton::clicked, this, [this] { CmdRename_Click(); });
  connect(slotPanel_->CmdCopy(), &QPushButton::clicked, this, [this] { CmdCopy_Click(); });
  connect(slotPanel_->CmdMove(), &QPushButton::clicked, this, [this] { CmdMove_Click(); });
  connect(search, &SearchPanel::PatternChanged, this, [this](const QString& pattern) {
    slotPanel_->CmdTagEdit()->setVisible(ShowsTagEditButton(pattern.toStdString()));
  });
  // While open, the tag panel takes the rename panel's place.
  connect(slotPanel_->CmdTagEdit(), &QPushButton::clicked, this,
          [this] { tagPanel_->CmdTagEdit_Click(); });
  connect(tagPanel_, &TagPanel::opened, this, [this] { lowerStack_->setCurrentWidget(tagPanel_); });
  connect(tagPanel_, &TagPanel::closed, this,
          [this] { lowerStack_->setCurrentWidget(slotPanel_); });
  connect(foundPanel_, &FoundPanel::lstFoundFiles_Click, this,
          [this] { tagPanel_->OnFoundListClick(); });
}

void Main::BuildMenu() {
  QMenuBar* bar = menuBar();
  mnuUndo_ = MenuCommand(bar, "MnuUndo", tr("Zurück"));
  QAction* mnuHilfe = MenuCommand(bar, "MnuHilfe", tr("Hilfe"));
  QAction* mnuHistorie = MenuCommand(bar, "MnuHistorie", tr("Historie"));
  QAction* mnuAbout = MenuCommand(bar, "MnuAbout", tr("Über"));
  // Keys beside the captions, which stay as they are.
  mnuUndo_->setShortcut(QKeySequence::Undo);
  mnuHilfe->setShortcut(QKeySequence::HelpContents);
  mnuHistorie->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  QMenu* options = bar->addMenu(tr("Optionen"));
  options->setObjectName(QStringLiteral("MnuOptions"));
  options->menuAction()->setObjectName(QStringLiteral("MnuOptionsAction"));
  optLogFile_ = options->addAction(tr("&Logfile"));
  optLogFile_->setObjectName(QStringLiteral("OptLogFile"));
  optLogFile_->setCheckable(true);
  optLogFile_->setChecked(false);
  optResolveChains_ = options->addAction(tr("&Ketten auflösen"));
  optResolveChains_->setObjectName(QStringLiteral("OptResolveChains"));
  optResolveChains_->setCheckable(true);
  optResolveChains_->setChecked(true);
  connect(optResolveChains_, &QAction::toggled, this, [this](bool on) {
    state_.resolveChains = on;
    previewPanel_->SetResolveChains(on);
    WriteResolveChains(*settings_, on);
  });
  const OrderMenu order = AddOrderMenu(options, *settings_, [this](const ListOrder& chosen) {
    command_->SetOrder(chosen);
    foundPanel_->Refresh();
  });
  command_->SetOrder(order.stored);
  QAction* explorerLink = options->addAction(tr("&Explorer-Link"));
  explorerLink->setObjectName(QStringLiteral("OptExplorerLink"));
  previewPanel_->AddOption(options);
  tagPanel_->AddId3v2Menu(options, *settings_);
  BuildLanguageMenu(options);
  new JobMenu(options, *settings_, messages_,
              {*slotPanel_, *searchPanel_, *optResolveChains_, order.choose, [this](bool subdirs) {
                 command_->ResetSearch();
                 command_->SetSubdirs(subdirs);
                 ShowSearchResult(SearchResult{});
               }});

  connect(mnuUndo_, &QAction::triggered, this, [this] { MnuUndo_Click(); });
  connect(mnuHilfe, &QAction::triggered, this, [this] { MnuHilfe_Click(); });
  connect(mnuHistorie, &QAction::triggered, this, [this] { MnuHistorie_Click(); });
  connect(mnuAbout, &QAction::triggered, this, [this] { MnuAbout_Click(); });
  connect(explorerLink, &QAction::triggered, this, [this] { OptExplorerLink_Click(); });
  // The check mark is the option; clicking toggles it, which is all
  // OptLogFile_Click does.
}

void Main::BuildLanguageMenu(QMenu* options) {
  QMenu* language = options->addMenu(tr("&Sprache"));
  language->setObjectName(QStringLiteral("MnuLanguage"));
  auto* group = new QActionGroup(language);
  const std::string stored = settings_->ReadSetting(kKeyLanguage);
  struct Choice {
    const char* name;
    QString caption;
    const char* value;
  };
  const Choice choices[] = {{"OptLanguageGerman", tr("Deutsch"), "de"},
                            {"OptLanguageEnglish", tr("English"), "en"},
                            {"OptLanguageSystem", tr("wie System"), ""}};
  for (const Choice& choice : choices) {
    QAction* action = language->addAction(choice.caption);
    action->setObjectName(QLatin1String(choice.name));
    action->setCheckable(true);
    const bool system = stored != "de" && stored != "en";
    action->setChecked(system ? choice.value[0] == '\0' : stored == choice.value);
    group->addAction(action);
    const std::string value = choice.value;
    connect(action, &QAction::triggered, this, [this, value] { OptLanguage_Click(value); });
  }
}

void Main::OptLanguage_Click(const std::string& choice) {
  settings_->WriteSetting(kKeyLanguage, choice);
  // The window's texts are set as it is built; a new language needs a new start.
  messages_.ShowMessage(VELMORA_TEXT("velmora", "Die Sprache wechselt beim nächsten Start."));
}

void Main::SaveWindowGeometry() {
  settings_->WriteSetting(kKeyWindowGeometry, GeometryText(geometry()));
  settings_->WriteSetting(kKeySplitterSizes, SizesText(splitter_->sizes()));
}

void Main::RestoreWindowGeometry() {
  if (const std::optional<QRect> stored =
          GeometryFromText(settings_->ReadSetting(kKeyWindowGeometry))) {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    setGeometry(PlaceInside(*stored, screens));
  }
  const QList<int> sizes = SizesFromText(settings_->ReadSetting(kKeySplitterSizes));
  if (sizes.size() != splitter_->count()) return;
  // The splitter shares out its own width; it must have the restored one first.
  layout()->activate();
  // The scroll area sizes its content only once shown; until then by hand.
  QWidget* content = splitter_->parentWidget();
  content->resize(centralWidget()->size().expandedTo(content->minimumSizeHint()));
  content->layout()->activate();
  splitter_->setSizes(sizes);
}

void Main::Form_Load() {
  const std::string dateTime = CurrentDateTimeText();

  // Stage 1: the log begins anew with a banner when an old one could go.
  PrepareLog(fileSystem_, *log_, logPath_, dateTime, VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR,
             VELMORA_VERSION_PATCH);

  // Stage 2: start folder from the command line or the settings; any
  // failure there yields the defaults, silently.
  const StartSettings start = RestoreStartSettings(*settings_, drives_, environment_.commandLine,
                                                   environment_.workingFolder);
  searchPanel_->StartAt(start.drive, start.folder, start.pattern);
  state_.context.destPath = start.destPath;
  destDrive_ = start.destDrive;
  const bool resolve = ReadResolveChains(*settings_);
  optResolveChains_->setChecked(resolve);
  state_.resolveChains = resolve;
  previewPanel_->SetResolveChains(resolve);
  RestoreWindowGeometry();

  // Stage 3: flags and choosers.
  ResetRunFlags();
  slotPanel_->FillCatalogue();
}

bool Main::LogOptionOn() const { return optLogFile_->isChecked(); }

void Main::OptLogFile_Click() { optLogFile_->setChecked(!optLogFile_->isChecked()); }

void Main::OptExplorerLink_Click() { ToggleExplorerLinkAndTell(messages_, *errorLog_); }

// The information windows open modeless and without an owner.
void Main::MnuHilfe_Click() { infoWindows_->OpenHelp(); }

void Main::MnuHistorie_Click() { infoWindows_->OpenHistory(); }

void Main::MnuAbout_Click() { infoWindows_->OpenAbout(); }

void Main::ResetRunFlags() {
  ::velmora::ResetRunFlags(state_);
  command_->Cancel();
  progBar_->setMinimum(0);
}

void Main::cmdSearch_Click() {
  ShowSearchResult(command_->cmdSearch_Click(searchPanel_->Inputs()));
}

void Main::ShowSearchResult(const SearchResult& result) {
  searchPanel_->ShowState(command_->State());
  foundPanel_->Refresh();
  shownRows_ = command_->Found().Count();
  foundPanel_->SetCountText(QString::fromStdString(command_->State().countText));
  countDirty_ = false;
  switch (result.step) {
    case SearchStep::kReset:
      progBar_->setValue(0);
      // The file list follows the folder list and is read afresh from disk.
      searchPanel_->filList()->SetFolder(searchPanel_->dirList()->Path());
      searchPanel_->filList()->Refresh();
      searchPanel_->txtSearchSpec()->setFocus();
      break;
    case SearchStep::kOpenHighlighted:
      searchPanel_->OpenFolder(result.folder);
      break;
    case SearchStep::kSearched:
      searchPanel_->OpenFolder(result.folder);
      searchPanel_->cmdSearch()->setFocus();
      foundPanel_->FitFoundListExtent();
      progBar_->setMaximum(result.progressMaximum);
      progBar_->setValue(0);
      break;
    case SearchStep::kBusy:
      break;
  }
}

void Main::ProcessPendingEvents() {
  if (countDirty_) {
    foundPanel_->SetCountText(QString::fromStdString(command_->State().countText));
    countDirty_ = false;
  }
  if (command_->Found().Count() != shownRows_ && sinceListShown_.elapsed() >= kListRefreshMs) {
    foundPanel_->Refresh();
    shownRows_ = command_->Found().Count();
    sinceListShown_.restart();
  }
  QApplication::processEvents();
}

void Main::CaptionsChanged() {
  const SearchState& state = command_->State();
  searchPanel_->ShowState(state);
  SetSearching(state.exitCaption == kCaptionCancel);
}

void Main::CountChanged() {
  // Shown when the search next lets the window paint; a label set per file
  // would cost more than the search.
  countDirty_ = true;
}

void Main::ShowCountNow() {
  foundPanel_->SetCountText(QString::fromStdString(command_->State().countText));
  countDirty_ = false;
}

void Main::SetSearching(bool searching) {
  if (searching == inputGuard_->active()) return;
  // While the search runs only "Abbrechen" (and closing the window) is live.
  inputGuard_->SetActive(searching);
  if (searching) {
    sinceListShown_.restart();
    shownRows_ = command_->Found().Count();
  }
}

void Main::RepeatSearch() {
  // The run is over; "Abbrechen" now stops the search again, and what the
  // search sees is what the next run must find.
  fileSystem_.UnpinFolders();
  EndRun();
  if (ending_) return;
  cmdSearch_Click();
  cmdSearch_Click();
}

void Main::cmdExit_Click() {
  if (searchPanel_->cmdExit()->text() == UiText(kCaptionExit)) {
    EndProgram();
  } else if (runStop_.running()) {
    // Between steps; the run's own flags must stay as they are.
    runStop_.Request();
  } else {
    ResetRunFlags();
  }
}

void Main::EndProgram() {
  if (ending_) return;
  ending_ = true;
  SaveWindowGeometry();
  runStop_.Request();
  // A search in progress stops at its next folder; nothing is saved now.
  command_->Cancel();
  QApplication::closeAllWindows();
  QCoreApplication::quit();
}

void Main::closeEvent(QCloseEvent* event) {
  EndProgram();
  event->accept();
}

void Main::keyPressEvent(QKeyEvent* event) {
  // Enter presses the focused button, elsewhere `cmdSearch`, the window's
  // default button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QPushButton* button = focused != nullptr ? focused : searchPanel_->cmdSearch();
    if (button->isEnabled()) button->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

}  // namespace velmora
