// The preview column and its summary follow the slots and the marks, and
// "Optionen -> Reihenfolge" and the counter's options beside the slots: the
// found list and the preview's numbers follow them, and the order is kept.
#include <QCheckBox>
#include <QThread>
#include <cstdlib>

#include "services/settings.h"
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

}  // namespace
}  // namespace velmora::testing
