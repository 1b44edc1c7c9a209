// "Optionen -> Reihenfolge" and the counter's options beside the slots: the
// found list and the preview's numbers follow them, and the order is kept.
#include <QCheckBox>

#include "services/settings.h"
#include "tests/ui/window_fixture.h"
#include "ui/order_menu.h"

namespace velmora::testing {
namespace {

using OrderWindowTest = WindowTest;

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
