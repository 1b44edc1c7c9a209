// The window in English: its captions, and a walk over every text of the
// window and its dialogs that finds none left in German.
#include <QGroupBox>
#include <set>

#include "services/help_file.h"
#include "services/translation.h"
#include "tags/tag_test_support.h"
#include "tests/ui/window_fixture.h"
#include "ui/about_window.h"
#include "ui/history_window.h"
#include "ui/overwrite_dialog.h"
#include "ui/run_dialog.h"
#include "ui/run_report.h"

namespace velmora::testing {
namespace {

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

class EnglishWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    window_.reset();
    UseLanguage(Language::kGerman, VELMORA_BIN_DIR);
  }
  void English() { ASSERT_TRUE(UseLanguage(Language::kEnglish, VELMORA_BIN_DIR)); }
};

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
