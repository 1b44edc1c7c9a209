// The main window driven through its real widgets: start-up, the slot
// choosers, the search and its reset, marking, the two ways to end, and the
// geometry it keeps. And the window in English: its captions, and a walk over
// every text of the window and its dialogs that finds none left in German.
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <set>

#include "search/found_list.h"
#include "services/help_file.h"
#include "tags/tag_test_support.h"
#include "tests/ui/window_fixture.h"
#include "ui/about_window.h"
#include "ui/drive_list.h"
#include "ui/file_list.h"
#include "ui/history_window.h"
#include "ui/overwrite_dialog.h"
#include "ui/run_dialog.h"
#include "ui/run_report.h"
#include "ui/slot_panel.h"
#include "ui/window_geometry.h"

namespace velmora::testing {
namespace {

TEST_F(WindowTest, StartsWithDefaultsOnAnEmptySettingsStore) {
  Main& window = Start();
  EXPECT_EQ(window.windowTitle(), "Velmora");
  EXPECT_EQ(window.findChild<SearchPanel*>()->drvList()->Drive(), "/");
  EXPECT_EQ(window.findChild<SearchPanel*>()->dirList()->Path(), "/");
  EXPECT_EQ(Text("txtSearchSpec"), "*.*");
  EXPECT_EQ(window.destPath(), "/");
  for (const char* name : {"Auswahl_0", "Auswahl_1", "Auswahl_2"}) {
    auto* combo = Find<QComboBox>(name);
    EXPECT_EQ(combo->count(), 21) << name;
    EXPECT_EQ(combo->itemText(20), "Umlaute umschreiben") << name;
    EXPECT_EQ(combo->currentText(), "nicht aktiv") << name;
    // List position = code: "Name aus Tags" is 18, its fields in the tooltip.
    EXPECT_EQ(combo->itemText(18), "Name aus Tags") << name;
    EXPECT_TRUE(combo->itemData(18, Qt::ToolTipRole).toString().contains("{Interpret}")) << name;
  }
  EXPECT_FALSE(Find<QAction>("OptLogFile")->isChecked());

  QStringList bar;
  for (QAction* action : window.menuBar()->actions()) bar << action->text();
  EXPECT_EQ(bar, (QStringList{"Zurück", "Hilfe", "Historie", "Über", "Optionen"}));

  Click("cmdExit");
  EXPECT_FALSE(window.isVisible());
}

// On a 1024x768 screen the list scrolls to its widest entry; a larger
// window goes to the lists. 1600 x 1000 at scale 2, less a panel, is smaller
// than the controls need: the window keeps to it and scrolls its content to
// every control.
TEST_F(WindowTest, FitsSmallScreensAndGivesGrowthToTheLists) {
  const std::string longName = std::string(150, 'w') + ".txt";
  WriteFiles(InTree(""), {longName});
  Start();
  const QRect screen = window_->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(window_->geometry())) << window_->width() << "x" << window_->height();
  EXPECT_LE(window_->minimumSizeHint().width(), 1000);
  EXPECT_LE(window_->minimumSizeHint().height(), 700);
  window_->resize(1024, 768);
  Search(Tree());
  QApplication::processEvents();
  auto* list = Find<QListView>("lstFoundFiles");
  EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(),
            list->fontMetrics().horizontalAdvance(QString::fromStdString(InTree(longName))));
  const int listHeight = list->height();
  window_->resize(1600, 1100);
  QApplication::processEvents();
  EXPECT_GT(list->height(), listHeight + 200);

  window_->resize(800, 470);
  QApplication::processEvents();
  EXPECT_EQ(window_->size(), QSize(800, 470));
  auto* scroll = Find<QScrollArea>("MainScroll");
  for (const char* name : {"CmdRename", "CmdMove", "cmdExit", "lstFoundFiles"}) {
    auto* control = Find<QWidget>(name);
    scroll->ensureWidgetVisible(control, 0, 0);
    QApplication::processEvents();
    const QRect shown(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
    EXPECT_TRUE(scroll->viewport()->rect().intersects(shown)) << name;
  }
}

// Keys on the menu commands, their captions unchanged; the options by their
// underlined letters, each once.
TEST_F(WindowTest, MenuCommandsHaveKeysAndOptionsHaveMnemonics) {
  Start();
  const std::pair<const char*, QKeySequence> keys[] = {
      {"MnuUndo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
      {"MnuHilfe", QKeySequence(Qt::Key_F1)},
      {"MnuHistorie", QKeySequence(Qt::CTRL | Qt::Key_H)}};
  for (const auto& [name, key] : keys) EXPECT_EQ(Find<QAction>(name)->shortcut(), key) << name;
  QStringList mnemonics;
  for (QAction* action : Find<QMenu>("MnuOptions")->actions()) {
    if (action->isSeparator()) continue;
    const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
    EXPECT_FALSE(mnemonic.isEmpty()) << action->text().toStdString();
    EXPECT_FALSE(mnemonics.contains(mnemonic.toString())) << action->text().toStdString();
    mnemonics << mnemonic.toString();
  }
  EXPECT_EQ(mnemonics.size(), 9);
}

TEST_F(WindowTest, ChoosingOperationsSetsCaptionsAndKeepsFields) {
  Start();
  ChooseOperation(0, 1, "alt", "neu");
  EXPECT_EQ((QStringList{Text("LabSource_0"), Text("LabDestination_0")}),
            (QStringList{"von", "zu"}));

  // Another operation, then "nicht aktiv": new captions, the typed fields stay.
  for (const auto& [code, caption] : {std::pair<int, QString>{13, "leer"}, {0, ""}}) {
    auto* combo = Find<QComboBox>("Auswahl_0");
    combo->setCurrentIndex(code);
    emit combo->activated(code);
    EXPECT_EQ((QStringList{Text("LabSource_0"), Text("LabDestination_0"), Text("TxtSource_0"),
                           Text("TxtDestination_0")}),
              (QStringList{caption, caption, "alt", "neu"}));
  }

  // Slot 3 alone reaches the job.
  ChooseOperation(2, 15, "a", "b");
  EXPECT_EQ((QStringList{Text("LabSource_2"), Text("LabDestination_2")}),
            (QStringList{"nach", "vor"}));
  const RenameJob job = window_->findChild<SlotPanel*>()->ReadJob();
  EXPECT_EQ(job.slotCode, (std::array<int, 3>{0, 0, 15}));
  EXPECT_EQ(job.txtSource[2], "a");
  EXPECT_EQ(job.auswahlText[2], "Anzahl Zeichen löschen zwischen");
}

TEST_F(WindowTest, SearchFillsTheListMarksAndTheSecondPressResets) {
  WriteFiles(InTree(""), {"b.txt", "A.txt", "c.doc", "unter/d.txt"});
  Start();
  Click("CmdSelectAll");  // an empty list: nothing happens

  Search(Tree(), "*.txt");
  EXPECT_EQ(FoundPaths(), (std::vector<std::string>{InTree("A.txt"), InTree("b.txt")}));
  EXPECT_EQ(Text("lblCount"), " 2");
  EXPECT_EQ(window_->findChild<QProgressBar*>("ProgBar")->maximum(), 2);

  auto* selection = Find<QListView>("lstFoundFiles")->selectionModel();
  Click("CmdSelectAll");
  EXPECT_EQ(selection->selectedRows().size(), 2);
  EXPECT_TRUE(window_->Found().IsMarked(0) && window_->Found().IsMarked(1));
  Click("CmdSelectNone");
  EXPECT_EQ(window_->Found().FirstMarked(), -1);
  EXPECT_TRUE(selection->selectedRows().empty());

  Click("cmdSearch");
  EXPECT_TRUE(FoundPaths().empty());
  EXPECT_EQ(Text("lblCount"), "0");
  EXPECT_EQ(Text("cmdSearch"), "&Suche");

  // Every click leaves "UnterVerz" on, as the search sees it; only the reset
  // clears it.
  auto* option = Find<QAbstractButton>("OptSubdirs");
  Click("OptSubdirs");
  Click("OptSubdirs");
  EXPECT_TRUE(option->isChecked());
  Search(Tree(), "*.txt", true);
  EXPECT_TRUE(option->isChecked());
  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("A.txt"), InTree("b.txt"), InTree("unter/d.txt")}));
  Click("cmdSearch");
  EXPECT_FALSE(option->isChecked());
}

TEST_F(WindowTest, EnterInThePatternFieldSearchesButNotOnAnotherButton) {
  WriteFile(InTree("a.txt"), "a");
  Start();
  OpenFolder(Tree());
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Find<QLineEdit>("txtSearchSpec"), &enter);
  EXPECT_EQ(FoundPaths(), std::vector<std::string>{InTree("a.txt")});

  QApplication::setActiveWindow(window_.get());
  Find<QPushButton>("CmdSelectAll")->setFocus();
  QApplication::sendEvent(Find<QPushButton>("CmdSelectAll"), &enter);
  EXPECT_EQ(window_->Found().FirstMarked(), 0);
  EXPECT_EQ(Text("cmdSearch"), "&Reset");
}

// The folder list shows parents, the folder and its sub-folders; a
// highlighted folder opens when the list loses the focus or "&Suche" is pressed.
TEST_F(WindowTest, FolderListOpensTheHighlightedFolder) {
  for (const char* name : {"b-unter", "A-unter", ".versteckt"}) {
    std::filesystem::create_directories(InTree(name));
  }
  Start();
  OpenFolder(Tree());
  FolderList* folders = window_->findChild<SearchPanel*>()->dirList();
  std::vector<std::string> shown;
  for (QTreeWidgetItemIterator it(folders); *it; ++it)
    shown.push_back((*it)->text(0).toStdString());
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(shown.front(), "/");
  EXPECT_EQ(std::vector<std::string>(shown.end() - 3, shown.end()),
            (std::vector<std::string>{"tree", "A-unter", "b-unter"}));

  QApplication::setActiveWindow(window_.get());
  folders->setFocus();
  folders->Highlight(InTree("A-unter"));
  Find<QLineEdit>("txtSearchSpec")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(folders->Path(), InTree("A-unter"));
  EXPECT_EQ(window_->findChild<SearchPanel*>()->filList()->Folder(), InTree("A-unter"));

  OpenFolder(Tree());
  folders->Highlight(InTree("b-unter"));
  Click("cmdSearch");
  EXPECT_EQ(folders->Path(), InTree("b-unter"));
  EXPECT_EQ(Text("cmdSearch"), "&Suche");
}

class SearchingTest : public WindowTest {
 protected:
  // Forty folders of one file each: the search lets events run between them.
  void SetUp() override {
    WindowTest::SetUp();
    for (int i = 0; i < 40; ++i) WriteFile(InTree("f" + std::to_string(i) + "/x.txt"), "x");
  }
};

TEST_F(SearchingTest, OnlyAbbrechenTakesInput) {
  Start();
  ChooseOperation(0, 1, "x", "y");
  // Pressed while the search runs its first folder: "Umbenennen", "Alle
  // auswählen" and typing do nothing, "Abbrechen" stops it.
  QString caption;
  QTimer::singleShot(0, [&] {
    caption = Text("cmdExit");
    MouseClick(Find<QPushButton>("CmdRename"));
    MouseClick(Find<QPushButton>("CmdSelectAll"));
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
    QApplication::sendEvent(Find<QLineEdit>("txtSearchSpec"), &typed);
    MouseClick(Find<QPushButton>("cmdExit"));
  });
  ModalAnswerer none;  // a run would ask; nothing may
  Search(Tree(), "*.txt", true);
  EXPECT_EQ(caption, "Abbrechen");
  EXPECT_TRUE(none.log().empty());
  EXPECT_EQ(Text("txtSearchSpec"), "*.txt");
  EXPECT_LT(FoundPaths().size(), 40u);
  EXPECT_EQ(window_->Found().FirstMarked(), -1);
  EXPECT_EQ(Text("cmdExit"), "E&nde");
  EXPECT_TRUE(window_->isVisible());

  MouseClick(Find<QPushButton>("cmdSearch"));  // input taken again
  EXPECT_EQ(Text("cmdSearch"), "&Suche");
}

TEST_F(SearchingTest, ClosingTheWindowEndsTheSearch) {
  Start();
  QTimer::singleShot(0, [&] { window_->close(); });
  OpenFolder(Tree());
  Click("OptSubdirs");
  Click("cmdSearch");
  EXPECT_FALSE(window_->isVisible());
  EXPECT_LT(FoundPaths().size(), 40u);
}

// One folder of more files than the list holds, made once for its tests.
class BigFolderTest : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    big_ = new TempFolder;
    Numbered("f%05d", kFoundListCapacity + 1, big_->path());
  }
  static void TearDownTestSuite() {
    delete big_;
    big_ = nullptr;
  }
  static std::string Big() { return big_->path().substr(0, big_->path().size() - 1); }
  static inline TempFolder* big_ = nullptr;
};

TEST_F(BigFolderTest, CountReadsTheCapWhenTheFullListMessageAppears) {
  Start();
  QString count;
  ModalAnswerer answers{{"MessageBox", "OK", [&](QWidget*) { count = Text("lblCount"); }}};
  Search(Big());
  EXPECT_EQ(answers.log(), (std::vector<std::string>{"MessageBox:OK"}));
  EXPECT_EQ(count, " 32767");
}

// Pressed while the folder is being read, "Abbrechen" ends the search
// there: nothing more is listed, and the full list's message never shows.
TEST_F(BigFolderTest, AbbrechenWhileAFolderIsReadStopsTheSearch) {
  Start();
  QElapsedTimer sinceStart;
  bool clicked = false;
  std::size_t listedAtClick = 0;
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    // The folder visit's own turn starts the clock; the search's next turn,
    // kResponsiveMs later, comes while the folder is read.
    if (Text("cmdExit") != "Abbrechen" || clicked) return;
    if (!sinceStart.isValid()) sinceStart.start();
    if (sinceStart.elapsed() < kResponsiveMs / 2) return;
    clicked = true;
    listedAtClick = static_cast<std::size_t>(window_->Found().Count());
    MouseClick(Find<QPushButton>("cmdExit"));
  });
  clicker.start(0);
  // Many patterns that fail before the one that fits: the read of the folder
  // and its matching take several of the window's turns.
  QString pattern;
  for (int i = 0; i < 16; ++i) pattern += QStringLiteral("q%1*;").arg(i);
  ModalAnswerer none;
  Search(Big(), pattern + "*");
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(none.log().empty());
  EXPECT_EQ(FoundPaths().size(), listedAtClick);
  EXPECT_EQ(Text("cmdExit"), "E&nde");
}

TEST(WindowGeometry, PlacedInsideAScreen) {
  const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
  struct Row {
    const char* name;
    QRect stored;
    QRect expected;
  };
  const Row rows[] = {
      {"inside stays", {100, 50, 800, 600}, {100, 50, 800, 600}},
      {"on the right screen stays", {2000, 100, 800, 600}, {2000, 100, 800, 600}},
      {"off to the left moves in", {-500, 100, 800, 600}, {0, 100, 800, 600}},
      {"below moves up", {100, 900, 800, 600}, {100, 480, 800, 600}},
      {"screen gone: onto the first", {5000, 3000, 800, 600}, {1120, 480, 800, 600}},
      {"too large shrinks", {1900, 0, 2000, 2000}, {1920, 0, 1280, 1024}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PlaceInside(row.stored, {left, right}), row.expected) << row.name;
  }
}

TEST(WindowGeometry, TextsBothWays) {
  EXPECT_EQ(GeometryFromText(GeometryText({-10, 20, 800, 600})), QRect(-10, 20, 800, 600));
  EXPECT_FALSE(GeometryFromText("1,2,3"));
  EXPECT_FALSE(GeometryFromText("1,2,0,5"));
  EXPECT_FALSE(GeometryFromText("a,b,c,d"));
  EXPECT_EQ(SizesFromText(SizesText({290, 400, 310})), QList<int>({290, 400, 310}));
  EXPECT_TRUE(SizesFromText("1,-2").isEmpty());
}

TEST_F(WindowTest, SizePositionAndSplitterComeBack) {
  Start();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect wanted(screen.x() + 30, screen.y() + 40, screen.width() - 60, screen.height() - 80);
  window_->setGeometry(wanted);
  auto* splitter = Find<QSplitter>("splitter");
  splitter->setSizes({250, 200, 250});
  const QList<int> sizes = splitter->sizes();
  window_->SaveWindowGeometry();
  window_.reset();

  Start();
  EXPECT_EQ(window_->geometry(), wanted);
  EXPECT_EQ(Find<QSplitter>("splitter")->sizes(), sizes);
}

// Every text a user can read in widget and its children, tag choosers aside
// (their entries are the tag sources' codes, the same in both languages).
void CollectTexts(const QWidget& widget, std::set<QString>& texts) {
  auto add = [&texts](const QString& text) {
    if (!text.isEmpty()) texts.insert(text);
  };
  add(widget.windowTitle());
  for (const QLabel* label : widget.findChildren<QLabel*>()) add(label->text());
  for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>()) add(button->text());
  for (const QGroupBox* box : widget.findChildren<QGroupBox*>()) add(box->title());
  for (const QAction* action : widget.findChildren<QAction*>()) add(action->text());
  for (const QComboBox* combo : widget.findChildren<QComboBox*>()) {
    if (!combo->objectName().startsWith(QLatin1String("Auswahl"))) continue;
    for (int i = 0; i < combo->count(); ++i) add(combo->itemText(i));
    add(combo->currentText());
  }
}

std::set<QString> TextsOf(Main& window) {
  std::set<QString> texts;
  CollectTexts(window, texts);
  Dialog dialog("/a/x", "/a/y", RunKind::kNone, &window);
  CollectTexts(dialog, texts);
  Dialog2 dialog2("/a/y", &window);
  CollectTexts(dialog2, texts);
  return texts;
}

using EnglishWindowTest = WindowTest;

TEST_F(EnglishWindowTest, NoGermanTextLeftAndTheSearchStillWorks) {
  Start();
  const std::set<QString> german = TextsOf(*window_);
  window_.reset();
  English();
  WriteFile(InTree("a.txt"), "");
  Start();
  const std::set<QString> english = TextsOf(*window_);
  // Texts that read the same in both languages.
  const QStringList same = QStringLiteral(
                               "&Reset|No. 1|No. 2|No. 3|Album|Genre|Separator|Text|Start|Pos.|"
                               "MP3 - Tag - Editor|Deutsch|English|Velmora|0|*.*|&Name")
                               .split(QLatin1Char('|'));
  for (const QString& text : english) {
    if (german.count(text) != 0 && !same.contains(text)) {
      ADD_FAILURE() << "untranslated: " << text.toStdString();
    }
  }
  EXPECT_GT(english.size(), 40u);

  // The search works from its English captions: found, then reset.
  EXPECT_EQ(Text("cmdSearch"), "&Search");
  EXPECT_EQ(Text("lblfound"), "&Files found:");
  Search(Tree());
  EXPECT_EQ(FoundPaths(), std::vector<std::string>{InTree("a.txt")});
  EXPECT_EQ(Text("cmdExit"), "E&xit");
  ChooseOperation(0, 1, "a", "b");
  EXPECT_EQ(Text("LabSource_0"), "from");
}

// The texts outside the window's widgets: the tag sources, the history, the
// About title, the help file, a run's report and its count.
TEST_F(EnglishWindowTest, TagSourcesHistoryAboutHelpAndReportsInEnglish) {
  English();
  Start();
  auto* titleSource = Find<QComboBox>("ComboTitel");
  EXPECT_EQ((QStringList{titleSource->itemText(0), titleSource->itemText(1)}),
            (QStringList{"off", "fixed"}));
  EXPECT_EQ(ChangeHistoryLines()[1], "\t\tBug fix:");
  EXPECT_EQ(MakeAboutTexts(1, 2, 3).title, "Velmora    Velmora team");
  WriteFile(AppFolder() + "/" + kHelpFileName, "Hilfe");
  EXPECT_EQ(FindHelpFile(AppFolder()), AppFolder() + "/" + kHelpFileName);
  WriteFile(AppFolder() + "/" + kEnglishHelpFileName, "Help");
  EXPECT_EQ(FindHelpFile(AppFolder()), AppFolder() + "/" + kEnglishHelpFileName);
  EXPECT_EQ(RunReportText(RunKind::kRename, 12, 1), "12 files renamed, 1 error");
  EXPECT_EQ(RunReportText(RunKind::kMove, 1, 2), "1 file moved, 2 errors");
  EXPECT_EQ(CountOfText(4120, 20000), "4,120 of 20,000");
}

// "off" is the stored value, not a fixed text: the after view shows what
// the file holds, not what was typed.
TEST_F(EnglishWindowTest, TagSourceOffTakesTheStoredValue) {
  English();
  WriteFile(InTree("A - Eins.mp3"), std::string(300, '\xff') + Bytes(Record("Erster", "Anna")));
  Start();
  OpenTagPanel("*.mp3");
  EXPECT_EQ(Text("LabId3v2"), "no ID3v2 tag");
  Find<QComboBox>("ComboInterpret")->setCurrentIndex(0);
  EXPECT_EQ(Text("ComboInterpret"), "off");
  Find<QLineEdit>("TxtInterpret")->setText("typed");
  Click("OptKeineAus");
  EXPECT_EQ(Text("TxtInterpret").toStdString(), Padded("Anna"));
}

}  // namespace
}  // namespace velmora::testing
