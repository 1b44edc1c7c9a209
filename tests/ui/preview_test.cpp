// The preview column and its summary follow the slots and the marks, and
// the "Optionen" beside them: "Reihenfolge" and the counter's options (the
// found list and the preview's numbers follow them, and the order is kept),
// and "Auftrag speichern…" and "Auftrag laden…" (a job saved in the window,
// loaded back over other settings, and run by velmora-cli --job).
#include <QCheckBox>
#include <QFileDialog>
#include <QThread>
#include <cstdlib>
#include <optional>

#include "services/settings.h"
#include "tests/cli/cli_runner.h"
#include "tests/ui/window_fixture.h"
#include "ui/order_menu.h"

namespace velmora::testing {
namespace {

using PreviewTest = WindowTest;
using OrderWindowTest = WindowTest;

TEST_F(PreviewTest, ColumnAndSummaryFollowAFieldChange) {
  for (const char* name : {"A - B.mp3", "B - A.mp3", "c.mp3"}) WriteFile(InTree(name), name);
  Start();
  Search(Tree());
  MarkAll();
  Settle();
  EXPECT_EQ(Column(), (QStringList{"unverändert: A - B.mp3", "unverändert: B - A.mp3",
                                   "unverändert: c.mp3"}));
  EXPECT_EQ(Text("lblPreview"), "0 Änderungen, 0 Konflikte");

  ChooseOperation(0, 1, "c", "d");
  Settle();
  EXPECT_EQ(Column(),
            (QStringList{"unverändert: A - B.mp3", "unverändert: B - A.mp3", "neu: d.mp3"}));
  EXPECT_EQ(Text("lblPreview"), "1 Änderung, 0 Konflikte");

  // The mirror swaps the first two: "Ketten auflösen" (on by default, and
  // stored) orders the swap. Off, each would overwrite the other, so the
  // run refuses both steps and the names stay.
  ChooseOperation(0, 14, " - ");
  Settle();
  EXPECT_EQ(Column(), (QStringList{"Kette (aufgelöst): B - A.mp3", "Kette (aufgelöst): A - B.mp3",
                                   "unverändert: c.mp3"}));
  EXPECT_EQ(Text("lblPreview"), "2 Änderungen, 0 Konflikte");
  auto* resolve = Find<QAction>("OptResolveChains");
  ASSERT_TRUE(resolve->isCheckable() && resolve->isChecked());
  resolve->trigger();
  Settle();
  EXPECT_FALSE(ReadResolveChains(SettingsStore(temp_ / "settings.ini")));
  EXPECT_EQ(Column(), (QStringList{"Kette: A - B.mp3", "Kette: B - A.mp3", "unverändert: c.mp3"}));
  EXPECT_EQ(Text("lblPreview"), "0 Änderungen, 2 Konflikte");
  const QString tip = Column(Qt::ToolTipRole).at(0);
  EXPECT_TRUE(tip.contains("ist der aktuelle Name von")) << tip.toStdString();

  // Switched off under "Optionen", the column empties; on again, it returns.
  auto* option = Find<QAction>("OptPreview");
  ASSERT_TRUE(option->isCheckable() && option->isChecked());
  for (const bool on : {false, true}) {
    option->trigger();
    Settle();
    EXPECT_EQ(Find<QWidget>("FramePreview")->isVisible(), on);
    EXPECT_EQ(Column().at(0), on ? "Kette: A - B.mp3" : "");
  }

  // Unmarked entries have no new name; nothing on disk changed.
  Click("CmdSelectNone");
  Settle();
  EXPECT_EQ(Column(), (QStringList{"", "", ""}));
  EXPECT_TRUE(FileExists(InTree("A - B.mp3")) && FileExists(InTree("c.mp3")));
}

// Fields are read once per search and kept with the found list for the
// preview and the run: a file changed after that read keeps the fields it
// had, until the next search.
TEST_F(PreviewTest, NameFromTagsReadsTheFieldsOncePerSearch) {
  WriteFile(InTree("a.txt"), "a");
  ASSERT_EQ(std::system(("touch -d '2023-01-02 03:04:05' '" + InTree("a.txt") + "'").c_str()), 0);
  Start();
  Prepare(18, "{Geändert}");
  Settle();
  EXPECT_EQ(Column(), QStringList{"neu: 2023-01-02.txt"});
  ASSERT_EQ(std::system(("touch -d '2020-06-07 08:09:10' '" + InTree("a.txt") + "'").c_str()), 0);
  ChooseOperation(0, 18, "{modified} {mtime}");
  Settle();
  EXPECT_EQ(Column(), QStringList{"neu: 2023-01-02 03-04-05.txt"});
  Click("cmdSearch");  // "&Reset", then a new search
  Search(Tree());
  MarkAll();
  Settle();
  EXPECT_EQ(Column(), QStringList{"neu: 2020-06-07 08-09-10.txt"});
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Alle"}}));  // the run takes the same fields
  EXPECT_TRUE(FileExists(InTree("2020-06-07 08-09-10.txt")));
}

// A row is never wider than the column, so a name that fits is shown whole.
TEST_F(PreviewTest, NamesAreShortenedOnlyToTheColumnsWidth) {
  const char* names[] = {"a.mp3", "Die Ärzte - Haus am See 10 lang.mp3",
                         "Die Ärzte - Haus am See 2.mp3"};
  for (const char* name : names) WriteFile(InTree(name), name);
  Start();
  Prepare(1, "x", "y");
  Settle();
  auto* list = Find<QListView>("lstNewNames");
  for (const int width : {0, 1400}) {
    if (width > 0) window_->resize(width, 700);
    QApplication::processEvents();
    const int room = list->viewport()->width();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      const QModelIndex index = list->model()->index(row, 0);
      EXPECT_EQ(list->visualRect(index).width(), room) << row << " at " << width;
    }
  }
}

// A plan worked out aside for an older state never lands after a newer one:
// switched off while the plan is on its way, the column stays empty.
TEST_F(PreviewTest, PlanOnItsWayIsDroppedAfterANewerChange) {
  for (const char* name : {"a.mp3", "c.mp3"}) WriteFile(InTree(name), name);
  Start();
  Search(Tree());
  MarkAll();
  Settle();
  ChooseOperation(0, 1, "c", "d");
  QThread::msleep(PreviewPanel::kDelayMs + 50);
  QApplication::processEvents();  // the timer starts the plan aside
  Find<QAction>("OptPreview")->trigger();
  QThread::msleep(100);
  Settle();
  EXPECT_EQ(Column(), (QStringList{"", ""}));
  EXPECT_EQ(Text("lblPreview"), "");
}

TEST_F(OrderWindowTest, OrderSortsListAndNumbersAndIsKept) {
  for (const char* name : {"Titel 10.txt", "Titel 2.txt"}) WriteFile(InTree(name), name);
  Start();
  EXPECT_TRUE(Find<QAction>("OptOrderName")->isChecked());
  Prepare(11, "1", ".");
  Settle();
  EXPECT_EQ(Column(), (QStringList{"neu: Titel 101.txt", "neu: Titel 22.txt"}));

  Trigger("OptOrderNatural");
  Settle();
  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("Titel 2.txt"), InTree("Titel 10.txt")}));
  EXPECT_EQ(Column(), (QStringList{"neu: Titel 21.txt", "neu: Titel 102.txt"}));
  Trigger("OptOrderReverse");
  const ListOrder stored = ReadListOrder(SettingsStore(temp_ / "settings.ini"));
  EXPECT_EQ(stored, (ListOrder{OrderBy::kNatural, true}));

  window_.reset();
  Start();
  EXPECT_TRUE(Find<QAction>("OptOrderNatural")->isChecked());
  EXPECT_TRUE(Find<QAction>("OptOrderReverse")->isChecked());
  Search(Tree());
  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("Titel 10.txt"), InTree("Titel 2.txt")}));
}

TEST_F(OrderWindowTest, StepAndRestartPerFolderReachThePreview) {
  for (const char* name : {"a.txt", "b.txt", "s/c.txt"}) WriteFile(InTree(name), name);
  Start();
  EXPECT_EQ(Text("TxtNumberStep"), "1");
  Search(Tree(), "*.*", /*subFolders=*/true);
  MarkAll();
  ChooseOperation(0, 11, "1", ".");
  Find<QLineEdit>("TxtNumberStep")->setText("10");
  Settle();
  EXPECT_EQ(Column(), (QStringList{"neu: a1.txt", "neu: b11.txt", "neu: c21.txt"}));
  Find<QCheckBox>("OptRestartPerFolder")->setChecked(true);
  Settle();
  EXPECT_EQ(Column(), (QStringList{"neu: a1.txt", "neu: b11.txt", "neu: c1.txt"}));
}

class JobWindowTest : public WindowTest {
 protected:
  // Triggers action and picks path in the file dialog it opens; then
  // answers what follows.
  void ThroughDialog(const char* action, const std::string& path,
                     std::optional<ModalAnswerer::Step> then = std::nullopt) {
    ModalAnswerer answerer({{"DlgJobFile", ModalAnswerer::kClose, [path](QWidget* modal) {
                               auto* dialog = qobject_cast<QFileDialog*>(modal);
                               ASSERT_NE(dialog, nullptr);
                               dialog->selectFile(QString::fromStdString(path));
                               static_cast<QDialog*>(dialog)->accept();
                             }}});
    if (then) answerer.Then(*then);
    Trigger(action);
    EXPECT_TRUE(answerer.AllAnswered());
  }
  bool Checked(const char* name) const {
    QObject* object = window_->findChild<QObject*>(QLatin1String(name));
    EXPECT_NE(object, nullptr) << name;
    return object != nullptr && object->property("checked").toBool();
  }
};

TEST_F(JobWindowTest, SavedLoadedAndRunByTheCommandLine) {
  for (const char* name : {"Titel 10.txt", "Titel 2.txt", "s/x.txt"}) WriteFile(InTree(name), "x");
  Start();
  Search(Tree(), "*.txt", /*subFolders=*/true);
  ChooseOperation(0, 11, "1", ".");
  ChooseOperation(2, 1, "Titel", "T");
  Trigger("OptOrderNatural");
  Find<QLineEdit>("TxtNumberStep")->setText("5");
  Find<QCheckBox>("OptRestartPerFolder")->setChecked(true);
  Trigger("OptResolveChains");
  // The dialog opens in the jobs folder beside the settings.
  const std::string job = temp_ / "jobs/mine.ini";
  ThroughDialog("MnuSaveJob", job);
  const std::string text = ReadFile(job);
  for (const char* line :
       {"Pattern=*.txt", "Subdirs=1", "Order=natural", "NumberStep=5", "RestartPerFolder=1",
        "ResolveChains=0", "[Slot1]", "Operation=number-before", "[Slot3]", "Operation=replace"}) {
    EXPECT_THAT(text, HasSubstr(std::string("\n") + line + "\n")) << line;
  }
  EXPECT_EQ(Find<QAction>("MnuRecentJob_0")->toolTip().toStdString(), job);

  // Other settings, then the job again: every part of it comes back, and
  // the found list is empty.
  ChooseOperation(0, 16);
  ChooseOperation(1, 17);
  Trigger("OptOrderName");
  Find<QLineEdit>("TxtNumberStep")->setText("1");
  Find<QCheckBox>("OptRestartPerFolder")->setChecked(false);
  Trigger("OptResolveChains");
  Find<QLineEdit>("txtSearchSpec")->setText("*.*");
  ThroughDialog("MnuLoadJob", job);
  EXPECT_TRUE(FoundPaths().empty());
  EXPECT_EQ(Text("cmdSearch"), "&Suche");
  EXPECT_EQ(Text("txtSearchSpec"), "*.txt");
  EXPECT_TRUE(Checked("OptSubdirs"));
  EXPECT_EQ(Find<QComboBox>("Auswahl_0")->currentIndex(), 11);
  EXPECT_EQ(Text("TxtSource_0"), "1");
  EXPECT_EQ(Text("Auswahl_1"), "nicht aktiv");
  EXPECT_EQ(Find<QComboBox>("Auswahl_2")->currentIndex(), 1);
  EXPECT_EQ(Text("TxtDestination_2"), "T");
  EXPECT_TRUE(Checked("OptOrderNatural"));
  EXPECT_EQ(Text("TxtNumberStep"), "5");
  EXPECT_TRUE(Checked("OptRestartPerFolder"));
  EXPECT_FALSE(Checked("OptResolveChains"));

  // Natural order, step 5, a fresh count in the sub-folder.
  EXPECT_TRUE(Succeeds(
      RunCli({"rename", "--job", job, "--yes-all", "--journal", temp_ / "journal", Tree()})));
  EXPECT_EQ(Listing(Tree()), (Names{"T 106.txt", "T 21.txt", "s"}));
  EXPECT_EQ(Listing(InTree("s")), Names{"x1.txt"});
}

TEST_F(JobWindowTest, AnUnknownOperationIsRefusedAndChangesNothing) {
  const std::string job = temp_ / "jobs/bad.ini";
  WriteFile(job, "[Job]\nVersion=1\nPattern=*.mp3\n[Slot1]\nOperation=shred\n");
  Start();
  ChooseOperation(0, 16);
  QString text;
  ThroughDialog("MnuLoadJob", job,
                ModalAnswerer::Step{"MessageBox", "OK", [&](QWidget* box) {
                                      text = box->findChild<QLabel*>("qt_msgbox_label")->text();
                                    }});
  EXPECT_EQ(text.toStdString(), "Unbekannte Operation im Auftrag: shred");
  EXPECT_EQ(Find<QComboBox>("Auswahl_0")->currentIndex(), 16);
  EXPECT_EQ(Text("txtSearchSpec"), "*.*");
}

}  // namespace
}  // namespace velmora::testing
