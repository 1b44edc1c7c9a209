// The tag panel, the information windows and the Explorer-Link inside the
// main window: the pieces as the user reaches them through its buttons and
// menu.
#include <QAction>
#include <QDialog>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMessageBox>
#include <QStackedWidget>
#include <cstdlib>
#include <filesystem>

#include "services/context_link.h"
#include "tags/tag_record.h"
#include "tests/ui/window_fixture.h"
#include "ui/history_window.h"
#include "ui/slot_panel.h"
#include "ui/tag_panel.h"

namespace velmora::testing {
namespace {

struct NoReports : ErrorReporter {
  void ReportError(int, int, const std::string&, const std::string&, const std::string&) override {}
};

TagRecord Tag(const std::string& title, const std::string& artist, unsigned char genre) {
  TagRecord record;
  record.tag = {'T', 'A', 'G'};
  SetFieldText(record.title, title);
  SetFieldText(record.artist, artist);
  record.genre = genre;
  return record;
}

std::string WithTag(const TagRecord& record) {
  const TagBytes bytes = ToBytes(record);
  return std::string(300, '\x55') + std::string(bytes.begin(), bytes.end());
}

class MainExtrasTest : public WindowTest {
 protected:
  void Trigger(const char* action) {
    QAction* item = window_->findChild<QAction*>(QLatin1String(action));
    ASSERT_NE(item, nullptr) << action;
    item->trigger();
  }
  void Mark(int row) {
    auto* list = Find<QListView>("lstFoundFiles");
    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
  }
  std::string Field(const char* name) { return Text(name).toStdString(); }
  TagRecord Stored(const std::string& path) {
    NoReports reporter;
    return ReadTag(path, reporter);
  }
  template <typename T>
  T* TopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
        return qobject_cast<T*>(widget);
      }
    }
    return nullptr;
  }
};

TEST_F(MainExtrasTest, TagButtonShowsOnlyForLowerCaseMp3Patterns) {
  Start();
  const std::pair<const char*, bool> rows[] = {
      {"*.mp3", true}, {"*.MP3", false},      {"*.mp3;*.wav", false},
      {"*.*", false},  {"*.wav;*.mp3", true}, {"Track??.mp3", true},
  };
  for (const auto& [pattern, shown] : rows) {
    Find<QLineEdit>("txtSearchSpec")->setText(QString::fromUtf8(pattern));
    EXPECT_EQ(!Find<QPushButton>("CmdTagEdit")->isHidden(), shown) << pattern;
  }
}

TEST_F(MainExtrasTest, TagPanelTakesTheRenamePanelsPlaceAndShowsTheFirstMarkedEntry) {
  WriteFile(InTree("A - Eins.mp3"), WithTag(Tag("Erster", "Anna", 17)));
  WriteFile(InTree("B - Zwei.mp3"), WithTag(Tag("Zweiter", "Bert", 9)));
  Start();
  Search(Tree(), "*.mp3");
  Mark(1);
  auto* stack = window_->lowerStack();
  auto* panel = Find<TagPanel>("FrameMp3Tag");
  EXPECT_EQ(stack->currentWidget(), window_->slotPanel());

  Click("CmdTagEdit");
  EXPECT_EQ(stack->currentWidget(), panel);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_FALSE(window_->slotPanel()->isVisible());
  EXPECT_EQ(Field("TxtTitel"), "Zweiter" + std::string(23, ' '));
  EXPECT_EQ(Field("ComboGenreTyp"), "Metal");

  Mark(0);  // a click into the list: the first marked entry is shown
  EXPECT_EQ(Field("TxtInterpret"), "Anna" + std::string(26, ' '));

  Find<QLineEdit>("TxtSeparator")->setText(" - ");
  Click("OptKeineAus");
  EXPECT_EQ(Field("TxtTitel"), "A");
  EXPECT_EQ(Field("TxtInterpret"), "Eins");
  Click("OptAlleAus");
  EXPECT_EQ(Field("TxtTitel"), "Erster" + std::string(24, ' '));

  Click("CmdTagExit");
  EXPECT_EQ(stack->currentWidget(), window_->slotPanel());
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(MainExtrasTest, TagUebernehmenWritesEveryMarkedFileAndRefreshesTheList) {
  WriteFile(InTree("Anna - Eins.mp3"), WithTag(Tag("alt", "alt", 17)));
  WriteFile(InTree("Bert - Zwei.mp3"), std::string(300, '\x55'));
  WriteFile(InTree("Carl - Drei.mp3"), WithTag(Tag("bleibt", "bleibt", 1)));
  Start();
  Search(Tree(), "*.mp3");
  Mark(0);
  Mark(1);
  Click("CmdTagEdit");
  Find<QLineEdit>("TxtSeparator")->setText(" - ");
  Find<QLineEdit>("TxtKommentar")->setText("neu");
  WriteFile(InTree("Dora - Vier.mp3"), "");  // appears with the refreshed list

  Click("CmdEditTag");

  const TagRecord eins = Stored(InTree("Anna - Eins.mp3"));
  EXPECT_EQ(FieldText(eins.title), "Anna" + std::string(26, ' '));
  EXPECT_EQ(FieldText(eins.artist), "Eins" + std::string(26, ' '));
  EXPECT_EQ(FieldText(eins.comment), "neu" + std::string(27, ' '));
  EXPECT_EQ(eins.genre, 17);
  const TagRecord zwei = Stored(InTree("Bert - Zwei.mp3"));
  EXPECT_EQ(FieldText(zwei.title), "Bert" + std::string(26, ' '));
  EXPECT_EQ(zwei.genre, 0);
  EXPECT_EQ(Stored(InTree("Carl - Drei.mp3")), Tag("bleibt", "bleibt", 1));

  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("Anna - Eins.mp3"), InTree("Bert - Zwei.mp3"),
                                      InTree("Carl - Drei.mp3"), InTree("Dora - Vier.mp3")}));
  EXPECT_EQ(Text("cmdSearch"), "&Reset");
  EXPECT_TRUE(Find<QRadioButton>("OptKeineAus")->isChecked());
  EXPECT_TRUE(Find<TagPanel>("FrameMp3Tag")->isVisible());
}

TEST_F(MainExtrasTest, MenuOpensHelpHistoryAndAboutUnowned) {
  Start();
  ModalAnswerer answerer;
  answerer.Then("MessageBox", "OK");  // no Hilfe.txt in the program's folder
  Trigger("MnuHilfe");
  Trigger("MnuHistorie");
  Trigger("MnuHistorie");
  Trigger("MnuAbout");
  EXPECT_EQ(answerer.log(), (std::vector<std::string>{"MessageBox:OK"}));
  for (const char* name : {"Hilfe", "Hist", "frmAbout"}) {
    QWidget* window = TopLevel<QWidget>(name);
    ASSERT_NE(window, nullptr) << name;
    EXPECT_EQ(window->parentWidget(), nullptr) << name;
    EXPECT_FALSE(window->isModal()) << name;
  }
  EXPECT_EQ(TopLevel<LineListWindow>("Hist")->List1()->count(),
            static_cast<int>(ChangeHistoryLines().size()));
}

TEST_F(MainExtrasTest, ExplorerLinkCreatesThenRemovesTheFolderEntry) {
  const std::string dataHome = temp_ / "xdg";
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  const std::string entry = dataHome + "/applications/velmora.desktop";
  const std::string command =
      ContextLinkCommand(QCoreApplication::applicationFilePath().toStdString());
  Start();

  ModalAnswerer answerer;
  std::vector<std::string> messages;
  auto keep = [&](QWidget* box) {
    messages.push_back(static_cast<QMessageBox*>(box)->text().toStdString());
  };
  answerer.Then("MessageBox", "OK", keep).Then("MessageBox", "OK", keep);
  Trigger("OptExplorerLink");
  EXPECT_EQ(ReadLinkCommand(entry), command);
  Trigger("OptExplorerLink");
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_EQ(messages, (std::vector<std::string>{"Created Context-Menu for Explorer\n" + command,
                                                "Deleted Context-Menu for Explorer"}));
  EXPECT_FALSE(window_->findChild<QAction*>("OptExplorerLink")->isChecked());

  if (old != nullptr) {
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
}  // namespace velmora::testing
