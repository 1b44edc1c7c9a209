// Runs from the main window with their dialogs answered by pressing the
// dialogs' buttons: rename, overwrite, undo, copy and move through the
// destination chooser, stopping a run, the log option, and a regular
// expression that reaches its limit (one box for the whole run, logged at
// Location::kRegexReplace).
#include <QMessageBox>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <algorithm>

#include "engine/error_reporter.h"
#include "services/journal.h"
#include "tags/tag_test_support.h"
#include "tests/ui/window_fixture.h"
#include "ui/file_list.h"
#include "ui/qt_prompts.h"
#include "ui/run_report.h"

namespace velmora::testing {
namespace {

class RunTest : public WindowTest {
 protected:
  static std::string Field(QWidget* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QLatin1String(name))->text().toStdString();
  }
  static QString Label(QWidget* dialog) {
    return dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text();
  }
  // In `DirSearch`: open folder in its folder list.
  static std::function<void(QWidget*)> Choose(const std::string& folder) {
    return [folder](QWidget* dialog) {
      EXPECT_EQ(dialog->windowTitle(), "Zielpfad");
      ASSERT_TRUE(dialog->findChild<FolderList*>("Dir1")->SetPath(folder));
    };
  }
  // The steps of the window's journal left unsettled on disk now.
  [[nodiscard]] long Unsettled() const {
    JournalContents contents;
    (void)ParseJournal(ReadFile(temp_ / "state/velmora/journal"), contents);
    return std::count_if(contents.steps.begin(), contents.steps.end(),
                         [](const JournalStep& step) { return step.state == StepState::kPending; });
  }
};

TEST_F(RunTest, RenameAnsweredInDialogThenTakenBack) {
  WriteFiles(InTree(""), {"a1.txt", "a2.txt", "a3.txt", "b.txt"});
  Start();
  Prepare(1, "a", "x");

  // Records held back for group commit are written before each question.
  const auto settled = [&](QWidget*) { EXPECT_EQ(Unsettled(), 0); };
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Ja",
                                      [&](QWidget* d) {
                                        EXPECT_EQ(Label(d), "Umbenennen");
                                        EXPECT_EQ(Field(d, "TxtFrom"), InTree("a1.txt"));
                                        EXPECT_EQ(Field(d, "TxtTo"), InTree("x1.txt"));
                                      }},
                                     {"Dialog", "&Nein", settled},
                                     {"Dialog", "&Alle", settled}}));  // b.txt: not asked
  EXPECT_EQ(FoundPaths(), (std::vector<std::string>{InTree("a2.txt"), InTree("b.txt"),
                                                    InTree("x1.txt"), InTree("x3.txt")}));

  // "Zurück": newest first; "&Abbrechen" keeps the older records for the
  // next undo, whose "&Alle" takes the rest.
  EXPECT_TRUE(Answered("MnuUndo", {{"Dialog", "&Ja",
                                    [&](QWidget* d) {
                                      EXPECT_EQ(Field(d, "TxtFrom"), InTree("x3.txt"));
                                      EXPECT_EQ(Field(d, "TxtTo"), InTree("a3.txt"));
                                    }},
                                   {"Dialog", "&Abbrechen"}}));
  EXPECT_TRUE(FileExists(InTree("x1.txt")));
  EXPECT_TRUE(Answered("MnuUndo", {{"Dialog", "&Alle"}}));
  for (const char* name : {"a1.txt", "a2.txt", "a3.txt", "b.txt"}) {
    EXPECT_EQ(ReadFile(InTree(name)), name);
  }
  EXPECT_EQ(FoundPaths().size(), 4u);
}

// The undo records outlive the window: started anew, "Zurück" offers the
// newest run of the journal and takes it back once confirmed, in either
// language.
TEST_F(RunTest, UndoAfterARestartTakesBackTheNewestRun) {
  const struct {
    Language language;
    QString all, no, yes, question;  // the question around the run's time
  } rows[] = {{Language::kGerman, "&Alle", "&Nein", "&Ja", "Den Lauf vom | zurücknehmen?"},
              {Language::kEnglish, "&All", "&No", "&Yes", "Take back the run of |?"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.question.toStdString());
    ASSERT_TRUE(UseLanguage(row.language, VELMORA_BIN_DIR));  // German again: TearDown
    WriteFiles(InTree(""), {"a1.txt", "a2.txt"});
    Start();
    Prepare(1, "a", "x");
    EXPECT_TRUE(Answered("CmdRename", {{"Dialog", row.all}}));
    ASSERT_TRUE(FileExists(InTree("x2.txt")));
    window_.reset();

    Start();
    const auto asked = [&](QWidget* box) {
      const QString text = MessageText(box);
      EXPECT_TRUE(text.startsWith(row.question.section('|', 0, 0)) &&
                  text.endsWith(row.question.section('|', 1)))
          << text.toStdString();
    };
    EXPECT_TRUE(Answered("MnuUndo", {{"MessageBox", row.no, asked}}));
    EXPECT_TRUE(FileExists(InTree("x1.txt")));
    EXPECT_TRUE(Answered("MnuUndo", {{"MessageBox", row.yes, asked},
                                     {"Dialog", row.all, [&](QWidget* d) {
                                        EXPECT_EQ(Field(d, "TxtFrom"), InTree("x2.txt"));
                                      }}}));
    for (const char* name : {"a1.txt", "a2.txt"}) EXPECT_EQ(ReadFile(InTree(name)), name);
  }
}

// A run the journal holds without its end record, from a process long gone,
// is offered before the next run: "Zurück" takes it back instead of running;
// "&Verwerfen" ends it and the run goes on.
TEST_F(RunTest, InterruptedRunIsOfferedBeforeTheNextRun) {
  const std::string state = temp_ / "state/velmora";
  std::filesystem::create_directories(state);
  const auto interrupt = [&] {
    std::filesystem::rename(InTree("a.txt"), InTree("A.TXT"));
    WriteFile(state + "/journal",
              "# velmora journal 2\nB\t999999999-1\t2026-12-07T10:00:00Z\t"
              "rename\nI\t999999999-1\t1\t1\t" +
                  InTree("a.txt") + "\t" + InTree("A.TXT") +
                  "\t-\t-\t-\t-\nD\t999999999-1\t1\t-\t-\t-\t-\n");
  };
  const auto offered = [](QWidget* box) {
    EXPECT_TRUE(MessageText(box).endsWith("(rename) wurde abgebrochen und nicht zurückgenommen."));
  };
  WriteFiles(InTree(""), {"a.txt", "b.txt"});
  interrupt();
  Start();
  Prepare(1, "b", "c");
  EXPECT_TRUE(Answered("CmdRename", {{"InterruptedRun", "Zurück", offered}, {"Dialog", "&Alle"}}));
  EXPECT_EQ(FoundPaths(), (std::vector<std::string>{InTree("a.txt"), InTree("b.txt")}));

  interrupt();
  Click("cmdSearch");  // back to a list that searches
  Prepare(1, "b", "c");
  EXPECT_TRUE(
      Answered("CmdRename", {{"InterruptedRun", "&Verwerfen", offered}, {"Dialog", "&Alle"}}));
  EXPECT_TRUE(FileExists(InTree("A.TXT")) && FileExists(InTree("c.txt")));

  // "Zurück" in a new window offers it with "&Verwerfen" too.
  window_.reset();
  std::filesystem::rename(InTree("A.TXT"), InTree("a.txt"));
  interrupt();
  Start();
  EXPECT_TRUE(Answered("MnuUndo", {{"InterruptedRun", "&Verwerfen"}}));
}

// Closing Dialog2 by its frame counts as "&Abbrechen": the target is kept,
// and the failed step is reported.
TEST_F(RunTest, ExistingTargetIsSettledInDialog2) {
  Start();
  for (const auto& [answer, replaced] :
       {std::pair<QString, bool>{"&Ja", true}, {ModalAnswerer::kClose, false}}) {
    WriteFiles(InTree(""), {"a.txt", "b.txt"});
    Search(Tree());
    MarkRow(0);
    ChooseOperation(0, 1, "a", "b");
    ModalAnswerer answers{{"Dialog", "&Ja"}, {"Dialog2", answer, [&](QWidget* d) {
                                                EXPECT_EQ(Field(d, "TxtTo"), InTree("b.txt"));
                                              }}};
    if (!replaced) {
      answers.Then({"MessageBox", "OK", [&](QWidget* box) {
                      EXPECT_EQ(box->windowTitle(), "Velmora");
                      EXPECT_TRUE(MessageText(box).startsWith("Konnte \n"));
                    }});
    }
    Click("CmdRename");
    EXPECT_TRUE(answers.AllAnswered()) << answer.toStdString();
    EXPECT_EQ(ReadFile(InTree("b.txt")), replaced ? "a.txt" : "b.txt") << answer.toStdString();
    EXPECT_EQ(window_->statusBar()->currentMessage(),
              replaced ? "1 Datei umbenannt, 0 Fehler" : "0 Dateien umbenannt, 0 Fehler");
    Click("cmdSearch");  // reset for the next row
    std::filesystem::remove(InTree("a.txt"));
  }
}

// A name longer than the file system takes fails; the status line counts
// the failure apart from the files renamed.
TEST_F(RunTest, StatusLineSaysWhatTheRunDid) {
  WriteFiles(InTree(""), {"a1.txt", "b1.txt", "b2.txt"});
  Start();
  Prepare(1, "a", QString(300, 'x'));
  ChooseOperation(1, 1, "b", "c");
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Alle"}, {"MessageBox", "OK"}}));
  EXPECT_EQ(window_->statusBar()->currentMessage(), "2 Dateien umbenannt, 1 Fehler");
}

TEST(RunProgressTest, ShowsTheCountWithThousandsSeparators) {
  QProgressBar bar;
  QtProgressBar progress(&bar);
  progress.SetMaximum(20000);
  progress.SetValue(20000);
  EXPECT_EQ(bar.text(), "20.000 von 20.000");
  EXPECT_EQ(CountOfText(4120, 20000), "4.120 von 20.000");
}

// The searched folder swapped for a link to another folder between the
// search and the run or the tag write: nothing is written there, and the
// message names the folder.
TEST_F(RunTest, ASearchedFolderReplacedSinceTheSearchIsNotEntered) {
  const std::string name = "/Anna - Eins.mp3", audio = Audio(300);
  for (const std::string button : {"CmdRename", "CmdEditTag"}) {
    SCOPED_TRACE(button);
    const std::string music = InTree(button + "/music"), other = InTree(button + "/other");
    WriteFile(music + name, audio);
    WriteFile(other + name, audio);
    Start();
    if (button == "CmdRename") {
      Prepare(1, "Anna", "x", music);
    } else {
      OpenTagPanel("*.mp3", music);
      Find<QLineEdit>("TxtSeparator")->setText(" - ");
    }
    std::filesystem::rename(music, music + ".old");
    std::filesystem::create_directory_symlink(other, music);
    QString shown;
    const auto read = [&](QWidget* box) { shown = MessageText(box); };
    EXPECT_TRUE(Answered(button.c_str(), {{"MessageBox", "OK", read}}));
    EXPECT_TRUE(shown.contains(QString::fromStdString(music + "/"))) << shown.toStdString();
    EXPECT_EQ(ReadFile(other + name), audio);
    EXPECT_EQ(ReadFile(music + ".old" + name), audio);
  }
}

// Copy and move ask for the destination first; long paths show by their
// ends until "links" is chosen.
TEST_F(RunTest, CopyAndMoveThroughTheDestinationChooser) {
  const std::string deep = InTree(std::string(60, 'o') + "-ordner");
  const std::string ziel = InTree("ziel");
  std::filesystem::create_directories(ziel);
  WriteFile(deep + "/lied.txt", "musik");
  Start();
  Prepare(1, "lied", "song", deep);

  EXPECT_TRUE(Answered("CmdCopy", {{"DirSearch", "Übernehmen", Choose(ziel)},
                                   {"Dialog", "&Ja", [&](QWidget* d) {
                                      EXPECT_EQ(Label(d), "Kopieren");
                                      EXPECT_EQ(Field(d, "TxtTo"), ziel + "/song.txt");
                                    }}}));
  EXPECT_EQ(ReadFile(ziel + "/song.txt"), "musik");
  EXPECT_EQ(window_->statusBar()->currentMessage(), "1 Datei kopiert, 0 Fehler");
  QSettings store(QString::fromStdString(environment_.settingsFile), QSettings::IniFormat);
  EXPECT_EQ(store.value("destPath/VMsearch").toString().toStdString(), ziel);

  // Closed without "Übernehmen": the previous destination, and the run goes on.
  MarkAll();
  ChooseOperation(0, 1, "lied", "neu");
  const QString source = QString::fromStdString(deep + "/lied.txt");
  EXPECT_TRUE(Answered("CmdMove",
                       {{"DirSearch", ModalAnswerer::kClose, Choose(Tree())},
                        {"Dialog", "&Ja", [&](QWidget* d) {
                           EXPECT_EQ(Label(d), "Verschieben");
                           EXPECT_EQ(Field(d, "TxtFrom"), ("..." + source.right(70)).toStdString());
                           d->findChild<QRadioButton*>("OptLeft")->click();
                           EXPECT_EQ(Field(d, "TxtFrom"), (source.left(70) + "...").toStdString());
                           EXPECT_EQ(Field(d, "TxtTo"), ziel + "/neu.txt");
                         }}}));
  EXPECT_EQ(window_->destPath(), ziel + "/");
  EXPECT_EQ(ReadFile(ziel + "/neu.txt"), "musik");
  EXPECT_EQ(window_->statusBar()->currentMessage(), "1 Datei verschoben, 0 Fehler");
}

// The command line names the folder; the store gives pattern and
// destination. The store keeps the destination without its final separator;
// a run into it, the chooser closed, must still put the file into the folder.
TEST_F(RunTest, CopyIntoTheStoredDestinationGoesIntoTheFolder) {
  WriteFile(InTree("lied.txt"), "musik");
  const std::string ziel = InTree("ziel");
  std::filesystem::create_directories(ziel);
  {
    QSettings store(QString::fromStdString(environment_.settingsFile), QSettings::IniFormat);
    store.setValue("LastPath/VMsearch", "/");
    store.setValue("LastPattern/VMsearch", "*.txt");
    store.setValue("destPath/VMsearch", QString::fromStdString(ziel));
  }
  Main& window = Start(Tree() + "/");
  EXPECT_EQ(window.findChild<SearchPanel*>()->dirList()->Path(), Tree());
  EXPECT_EQ(window.findChild<SearchPanel*>()->filList()->Folder(), Tree());
  EXPECT_EQ(Text("txtSearchSpec"), "*.txt");
  EXPECT_EQ(window.destPath(), ziel);
  Prepare(1, "lied", "song");

  EXPECT_TRUE(Answered("CmdCopy", {{"DirSearch", ModalAnswerer::kClose},
                                   {"Dialog", "&Ja", [&](QWidget* d) {
                                      EXPECT_EQ(Field(d, "TxtTo"), ziel + "/song.txt");
                                    }}}));
  EXPECT_EQ(ReadFile(ziel + "/song.txt"), "musik");
  EXPECT_FALSE(FileExists(ziel + "song.txt"));
}

TEST_F(RunTest, LogOptionWritesNineLinesPerStepAndTheLogIsNoStep) {
  WriteFile(InTree("a.txt"), "a");
  Start();
  const std::string logPath = window_->logPath();
  ASSERT_EQ(logPath, AppFolder() + "/LogFile.Log");
  const std::string banner = ReadFile(logPath);

  Trigger("OptLogFile");
  Prepare(1, "a", "b");
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Ja"}}));
  const std::string expected = banner +
                               "--- Velmora ---\r\nrenameFiles= True\r\nmoveFiles= False\r\n" +
                               "copyFiles= False\r\nAuswahl= Text ersetzen / löschen\r\n" +
                               "TxtSource= a\r\nTxtDest= b\r\nnameSrc= " + InTree("a.txt") +
                               "\r\nnameDest= " + InTree("b.txt") + "\r\n";
  EXPECT_EQ(ReadFile(logPath), expected);

  // Switched off: runs write nothing more.
  Trigger("OptLogFile");
  MarkAll();
  ChooseOperation(0, 1, "b", "c");
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Ja"}}));
  EXPECT_TRUE(FileExists(InTree("c.txt")));
  EXPECT_EQ(ReadFile(logPath), expected);

  // The log file is never a step, even in the folder the run searches.
  WriteFile(AppFolder() + "/Log.txt", "other");
  Click("cmdSearch");  // reset
  Prepare(1, "Log", "Lug", AppFolder());
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Alle"}}));
  EXPECT_TRUE(FileExists(AppFolder() + "/Lug.txt"));
  EXPECT_EQ(ReadFile(logPath), expected);
}

// During a run the exit button reads "Abbrechen"; pressed after "&Alle" it
// stops the run before the next step, and it reads "E&nde" again after.
TEST_F(RunTest, AbbrechenStopsTheRunAfterAlle) {
  WriteFiles(InTree(""), {"a1.txt", "a2.txt", "a3.txt"});
  Start();
  Prepare(1, "a", "x");

  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Alle", [&](QWidget*) {
                                        EXPECT_EQ(Text("cmdExit"), "Abbrechen");
                                        MouseClick(Find<QPushButton>("cmdExit"));
                                      }}}));
  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("a2.txt"), InTree("a3.txt"), InTree("x1.txt")}));
  EXPECT_EQ(Text("cmdExit"), "E&nde");

  // The next run starts afresh and goes to the end.
  MarkAll();
  EXPECT_TRUE(Answered("CmdRename", {{"Dialog", "&Alle"}}));
  EXPECT_TRUE(FileExists(InTree("x2.txt")) && FileExists(InTree("x3.txt")));
}

TEST_F(WindowTest, RegexAtItsLimitShowsOneBoxForTheRun) {
  const std::string slow = std::string(40, 'a') + "b";
  for (const char* tail : {"1", "2", "3"}) WriteFile(InTree(slow + tail), "x");
  Start();
  Trigger("OptLogFile");
  Prepare(19, "(a+)+\\d$", "x");
  // No file is renamed, so no question; any box the run shows is read.
  QStringList texts;
  const auto read = [&](QWidget* box) { texts << MessageText(box); };
  ModalAnswerer answers{{"MessageBox", "OK", read}, {"MessageBox", "OK", read}};
  Click("CmdRename");
  EXPECT_EQ(texts.filter("(a+)+\\d$").size(), 1) << texts.join("|").toStdString();
  EXPECT_NE(ReadFile(window_->logPath())
                .find("Location:  " + std::to_string(LocationNumber(Location::kRegexReplace))),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(InTree(slow + "3")));
}

}  // namespace
}  // namespace velmora::testing
