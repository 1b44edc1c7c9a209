// "Optionen → Auftrag speichern…" and "Auftrag laden…": a job saved in the
// window, loaded back over other settings, and run by velmora-cli --job.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <optional>

#include "tests/cli/cli_runner.h"
#include "tests/ui/window_fixture.h"

namespace velmora::testing {
namespace {

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
