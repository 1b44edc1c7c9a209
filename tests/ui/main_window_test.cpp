// The main window driven through its real widgets: start-up, the slot
// choosers, the search and its reset, marking, and the two ways to end.
#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QTimer>

#include "search/found_list.h"
#include "tests/ui/window_fixture.h"
#include "ui/drive_list.h"
#include "ui/file_list.h"
#include "ui/slot_panel.h"

namespace velmora::testing {
namespace {

QAction* Action(Main& window, const char* name) {
  auto* action = window.findChild<QAction*>(QLatin1String(name));
  EXPECT_NE(action, nullptr) << name;
  return action;
}

TEST_F(WindowTest, StartsWithDefaultsOnAnEmptySettingsStore) {
  Main& window = Start();
  EXPECT_EQ(window.objectName(), "Main");
  EXPECT_EQ(window.windowTitle(), "Velmora");
  EXPECT_EQ(window.searchPanel()->drvList()->Drive(), "/");
  EXPECT_EQ(window.searchPanel()->dirList()->Path(), "/");
  EXPECT_EQ(Text("txtSearchSpec"), "*.*");
  EXPECT_EQ(window.destPath(), "/");
  EXPECT_EQ(window.destDrive(), "/");
  for (const char* name : {"Auswahl_0", "Auswahl_1", "Auswahl_2"}) {
    auto* combo = Find<QComboBox>(name);
    EXPECT_EQ(combo->count(), 18) << name;
    EXPECT_EQ(combo->currentText(), "nicht aktiv") << name;
    EXPECT_EQ(combo->itemText(1), "Text ersetzen / löschen");
    EXPECT_EQ(combo->itemText(17), "Alle in Kleinbuchstaben");
  }
  EXPECT_FALSE(Action(window, "OptLogFile")->isChecked());
  EXPECT_FALSE(Action(window, "OptExplorerLink")->isChecked());
}

TEST_F(WindowTest, ControlsCarryTheirNamesAndCaptions) {
  Start();
  const std::pair<const char*, const char*> captions[] = {
      {"lblCriteria", "Such&kriterium:"}, {"OptSubdirs", "UnterVerz"},
      {"cmdSearch", "&Suche"},            {"cmdExit", "E&nde"},
      {"lblfound", "&Dateien gefunden:"}, {"lblCount", "0"},
      {"CmdSelectAll", "Alle auswählen"}, {"CmdSelectNone", "Markierung aufheben"},
      {"LabNo_0", "No. 1"},               {"LabNo_1", "No. 2"},
      {"LabNo_2", "No. 3"},               {"LabSource_0", ""},
      {"LabDestination_2", ""},           {"TxtSource_1", ""},
      {"TxtDestination_0", ""},           {"CmdTagEdit", "Edit MP3-Tag"},
      {"CmdMove", "Verschieben"},         {"CmdCopy", "Kopieren"},
      {"CmdRename", "Umbenennen"},
  };
  for (const auto& [name, caption] : captions) EXPECT_EQ(Text(name), QString::fromUtf8(caption)) << name;
  EXPECT_EQ(Find<QGroupBox>("Frame1")->title(), "Umbenennen");
  for (const char* name : {"drvList", "dirList", "filList", "lstFoundFiles", "ProgBar"}) {
    EXPECT_NE(window_->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
  }

  // The menu bar, left to right; "Optionen" opens the two options.
  QStringList bar;
  for (QAction* action : window_->menuBar()->actions()) bar << action->text();
  EXPECT_EQ(bar, (QStringList{"Zurück", "Hilfe", "Historie", "Über", "Optionen"}));
  auto* options = Find<QMenu>("MnuOptions");
  QStringList items;
  for (QAction* action : options->actions()) items << action->objectName() + "=" + action->text();
  EXPECT_EQ(items, (QStringList{"OptLogFile=Logfile", "OptExplorerLink=Explorer-Link",
                               "OptPreview=Vorschau"}));
}

TEST_F(WindowTest, FitsA1024By768Screen) {
  Start();
  const QSize least = window_->minimumSizeHint();
  EXPECT_LE(least.width(), 1000);
  EXPECT_LE(least.height(), 700);
  window_->resize(1024, 768);
  QApplication::processEvents();
  // The lists take the room that grows.
  const int listHeight = Find<QListView>("lstFoundFiles")->height();
  window_->resize(1600, 1100);
  QApplication::processEvents();
  EXPECT_GT(Find<QListView>("lstFoundFiles")->height(), listHeight + 200);
}

TEST_F(WindowTest, RestoresTheStoredSearchAndDestination) {
  std::filesystem::create_directories(InTree("ziel"));
  {
    QSettings store(QString::fromStdString(environment_.settingsFile), QSettings::IniFormat);
    store.setValue("LastDrive/VMsearch", "/");
    store.setValue("LastPath/VMsearch", QString::fromStdString(Tree()));
    store.setValue("LastPattern/VMsearch", "*.txt");
    store.setValue("destPath/VMsearch", QString::fromStdString(InTree("ziel")));
    store.setValue("destDrive/VMsearch", "/");
  }
  Main& window = Start();
  EXPECT_EQ(window.searchPanel()->dirList()->Path(), Tree());
  EXPECT_EQ(window.searchPanel()->filList()->Folder(), Tree());
  EXPECT_EQ(Text("txtSearchSpec"), "*.txt");
  EXPECT_EQ(window.destPath(), InTree("ziel"));
}

TEST_F(WindowTest, CommandLineGivesTheFolderAndTheStoreThePattern) {
  {
    QSettings store(QString::fromStdString(environment_.settingsFile), QSettings::IniFormat);
    store.setValue("LastPath/VMsearch", "/");
    store.setValue("LastPattern/VMsearch", "*.mp3");
  }
  Main& window = Start(Tree() + "/");
  EXPECT_EQ(window.searchPanel()->dirList()->Path(), Tree());
  EXPECT_EQ(Text("txtSearchSpec"), "*.mp3");
  EXPECT_TRUE(Find<QPushButton>("CmdTagEdit")->isVisible());

  Find<QLineEdit>("txtSearchSpec")->setText("*.MP3");
  EXPECT_FALSE(Find<QPushButton>("CmdTagEdit")->isVisible());
}

TEST_F(WindowTest, ChoosingOperationsSetsCaptionsAndKeepsFields) {
  Start();
  ChooseOperation(0, 1, "alt", "neu");
  EXPECT_EQ(Text("LabSource_0"), "von");
  EXPECT_EQ(Text("LabDestination_0"), "zu");
  EXPECT_EQ(window_->slotPanel()->SlotCode(0), 1);

  auto* combo = Find<QComboBox>("Auswahl_0");
  combo->setCurrentIndex(13);
  emit combo->activated(13);
  EXPECT_EQ(Text("LabSource_0"), "leer");
  EXPECT_EQ(Text("LabDestination_0"), "leer");
  EXPECT_EQ(Text("TxtSource_0"), "alt");
  EXPECT_EQ(Text("TxtDestination_0"), "neu");

  combo->setCurrentIndex(0);
  emit combo->activated(0);
  EXPECT_EQ(Text("LabSource_0"), "");
  EXPECT_EQ(Text("LabDestination_0"), "");
  EXPECT_EQ(window_->slotPanel()->SlotCode(0), 0);
  EXPECT_EQ(Text("TxtSource_0"), "alt");

  // Slot 3 alone, the same operation as slot 1 may take.
  ChooseOperation(2, 15, "a", "b");
  EXPECT_EQ(Text("LabSource_2"), "nach");
  EXPECT_EQ(Text("LabDestination_2"), "vor");
  const RenameJob job = window_->slotPanel()->ReadJob();
  EXPECT_EQ(job.slotCode, (std::array<int, 3>{0, 0, 15}));
  EXPECT_EQ(job.auswahlText[2], "Anzahl Zeichen löschen zwischen");
}

TEST_F(WindowTest, SearchFillsTheListAndTheSecondPressResets) {
  WriteFile(InTree("b.txt"), "b");
  WriteFile(InTree("A.txt"), "a");
  WriteFile(InTree("c.doc"), "c");
  std::filesystem::create_directories(InTree("unter"));
  WriteFile(InTree("unter/d.txt"), "d");
  Start();

  Search(Tree(), "*.txt");
  EXPECT_EQ(FoundPaths(), (std::vector<std::string>{InTree("A.txt"), InTree("b.txt")}));
  EXPECT_EQ(Text("lblCount"), " 2");
  EXPECT_EQ(Text("cmdExit"), "E&nde");
  EXPECT_EQ(window_->ProgBar()->maximum(), 2);
  EXPECT_EQ(window_->ProgBar()->value(), 0);

  Click("cmdSearch");
  EXPECT_TRUE(FoundPaths().empty());
  EXPECT_EQ(Text("lblCount"), "0");
  EXPECT_EQ(Text("cmdSearch"), "&Suche");

  Search(Tree(), "*.txt", true);
  EXPECT_EQ(FoundPaths().size(), 3u);
  EXPECT_TRUE(Find<QRadioButton>("OptSubdirs")->isChecked());
  Click("cmdSearch");
  EXPECT_FALSE(Find<QRadioButton>("OptSubdirs")->isChecked());

  // Nothing matches: an empty list and a progress range of one.
  Search(Tree(), "*.xyz");
  EXPECT_TRUE(FoundPaths().empty());
  EXPECT_EQ(Text("lblCount"), "0");
  EXPECT_EQ(window_->ProgBar()->maximum(), 1);
}

TEST_F(WindowTest, FolderListShowsParentsCurrentAndSubFolders) {
  std::filesystem::create_directories(InTree("b-unter"));
  std::filesystem::create_directories(InTree("A-unter"));
  std::filesystem::create_directories(InTree(".versteckt"));
  Start();
  OpenFolder(Tree());
  FolderList* folders = window_->searchPanel()->dirList();
  QApplication::processEvents();
  std::vector<std::string> shown;
  for (QTreeWidgetItemIterator it(folders); *it; ++it) {
    EXPECT_TRUE(folders->visualItemRect(*it).isValid()) << (*it)->text(0).toStdString();
    shown.push_back((*it)->text(0).toStdString());
  }
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(shown.front(), "/");
  EXPECT_EQ(std::vector<std::string>(shown.end() - 3, shown.end()),
            (std::vector<std::string>{"tree", "A-unter", "b-unter"}));
  EXPECT_EQ(folders->SubFolderCount(), 2);
  EXPECT_EQ(folders->Highlighted(), Tree());
}

TEST_F(WindowTest, AHighlightedFolderIsOpenedBeforeAnySearch) {
  std::filesystem::create_directories(InTree("unter"));
  WriteFile(InTree("unter/d.txt"), "d");
  Start();
  OpenFolder(Tree());
  FolderList* folders = window_->searchPanel()->dirList();
  folders->Highlight(InTree("unter"));
  ASSERT_EQ(folders->Highlighted(), InTree("unter"));

  Click("cmdSearch");
  EXPECT_EQ(folders->Path(), InTree("unter"));
  EXPECT_EQ(window_->searchPanel()->filList()->Folder(), InTree("unter"));
  EXPECT_EQ(Text("cmdSearch"), "&Suche");
  EXPECT_TRUE(FoundPaths().empty());
}

TEST_F(WindowTest, LeavingTheFolderListOpensTheHighlightedFolder) {
  std::filesystem::create_directories(InTree("unter"));
  Start();
  OpenFolder(Tree());
  QApplication::setActiveWindow(window_.get());
  FolderList* folders = window_->searchPanel()->dirList();
  folders->setFocus();
  folders->Highlight(InTree("unter"));
  Find<QLineEdit>("txtSearchSpec")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(folders->Path(), InTree("unter"));
  EXPECT_EQ(window_->searchPanel()->filList()->Folder(), InTree("unter"));
}

TEST_F(WindowTest, EnterInThePatternFieldPressesSearch) {
  WriteFile(InTree("a.txt"), "a");
  Start();
  OpenFolder(Tree());
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Find<QLineEdit>("txtSearchSpec"), &enter);
  EXPECT_EQ(Text("cmdSearch"), "&Reset");
  EXPECT_EQ(FoundPaths(), std::vector<std::string>{InTree("a.txt")});

  // On a focused button Enter presses that button.
  QApplication::setActiveWindow(window_.get());
  Find<QPushButton>("CmdSelectAll")->setFocus();
  QApplication::sendEvent(Find<QPushButton>("CmdSelectAll"), &enter);
  EXPECT_EQ(window_->search().Found().FirstMarked(), 0);
  EXPECT_EQ(Text("cmdSearch"), "&Reset");
}

TEST_F(WindowTest, MarkingAllAndNone) {
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) WriteFile(InTree(name), "x");
  Start();
  Click("CmdSelectAll");  // an empty list: nothing happens
  Search(Tree());
  const FoundList& found = window_->search().Found();

  Click("CmdSelectAll");
  EXPECT_EQ(Find<QListView>("lstFoundFiles")->selectionModel()->selectedRows().size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(found.IsMarked(i)) << i;

  Click("CmdSelectNone");
  EXPECT_EQ(found.FirstMarked(), -1);
  EXPECT_TRUE(Find<QListView>("lstFoundFiles")->selectionModel()->selectedRows().empty());
  EXPECT_EQ(Find<QListView>("lstFoundFiles")->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(WindowTest, TheListScrollsToItsWidestEntry) {
  const std::string longName = std::string(150, 'w') + ".txt";
  WriteFile(InTree(longName), "x");
  WriteFile(InTree("k.txt"), "x");
  Start();
  window_->resize(1024, 768);
  Search(Tree());
  auto* list = Find<QListView>("lstFoundFiles");
  QApplication::processEvents();
  const int needed = list->fontMetrics().horizontalAdvance(QString::fromStdString(InTree(longName)));
  EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(), needed);
}

// A real mouse click on a button, as the window system delivers it.
void ClickWithMouse(QAbstractButton* button) {
  const QPointF at(button->width() / 2.0, button->height() / 2.0);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(button, &event);
  }
}

TEST_F(WindowTest, DuringASearchOnlyAbbrechenTakesInput) {
  for (int i = 0; i < 40; ++i) {
    const std::string folder = InTree("f" + std::to_string(i));
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/x.txt", "x");
  }
  Start();
  ChooseOperation(0, 1, "x", "y");
  // Pressed while the search lets pending events run at its first folder:
  // "Umbenennen", "Alle auswählen" and typing do nothing, "Abbrechen" stops it.
  QString caption;
  QTimer::singleShot(0, [&] {
    caption = Text("cmdExit");
    ClickWithMouse(Find<QPushButton>("CmdRename"));
    ClickWithMouse(Find<QPushButton>("CmdSelectAll"));
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
    QApplication::sendEvent(Find<QLineEdit>("txtSearchSpec"), &typed);
    ClickWithMouse(Find<QPushButton>("cmdExit"));
  });
  ModalAnswerer none;  // a run would ask; nothing may
  Search(Tree(), "*.txt", true);
  EXPECT_EQ(caption, "Abbrechen");
  EXPECT_TRUE(none.log().empty());
  EXPECT_EQ(Text("txtSearchSpec"), "*.txt");
  EXPECT_LT(FoundPaths().size(), 40u);
  EXPECT_EQ(window_->search().Found().FirstMarked(), -1);
  EXPECT_EQ(Text("cmdExit"), "E&nde");
  EXPECT_TRUE(window_->isVisible());

  // Afterwards the window takes input again.
  ClickWithMouse(Find<QPushButton>("cmdSearch"));
  EXPECT_EQ(Text("cmdSearch"), "&Suche");
}

TEST_F(WindowTest, ClosingTheWindowDuringASearchEndsIt) {
  for (int i = 0; i < 40; ++i) {
    const std::string folder = InTree("f" + std::to_string(i));
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/x.txt", "x");
  }
  Start();
  QTimer::singleShot(0, [&] { window_->close(); });
  OpenFolder(Tree());
  Click("OptSubdirs");
  Click("cmdSearch");
  EXPECT_FALSE(window_->isVisible());
  EXPECT_LT(FoundPaths().size(), 40u);
}

TEST_F(WindowTest, EndeClosesTheProgram) {
  Start();
  ASSERT_TRUE(window_->isVisible());
  Click("cmdExit");
  EXPECT_FALSE(window_->isVisible());
}

}  // namespace
}  // namespace velmora::testing
