// The tag panel, the information windows and the Explorer-Link inside the
// main window: the pieces as the user reaches them through its buttons and
// menu. The tag rules themselves are the tag editor's tests.
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStackedWidget>

#include "services/context_link.h"
#include "services/posix_file_system.h"
#include "tags/tag_file.h"
#include "tags/tag_record.h"
#include "tags/tag_test_support.h"
#include "tests/support/audio_files.h"
#include "tests/ui/window_fixture.h"
#include "ui/history_window.h"
#include "ui/slot_panel.h"
#include "ui/tag_panel.h"

namespace velmora::testing {
namespace {

const std::string kAudio = Audio(300);

std::string WithTag(const std::string& title, const std::string& artist, unsigned char genre) {
  return kAudio + Bytes(Record(title, artist, genre));
}

class MainExtrasTest : public WindowTest {
 protected:
  std::string Field(const char* name) { return Text(name).toStdString(); }
  TagRecord Stored(const std::string& path) {
    RecordingReporter reporter;
    return ReadTag(disk_, path, reporter);
  }
  // Runs what close() left to do, so a closed window is really gone.
  static void Gone() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QWidget* TopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == QLatin1String(name) && widget->isVisible()) return widget;
    }
    return nullptr;
  }
  PosixFileSystem disk_;
};

TEST_F(MainExtrasTest, TagPanelTakesTheRenamePanelsPlaceAndShowsTheFirstMarkedEntry) {
  WriteFile(InTree("A - Eins.mp3"), WithTag("Erster", "Anna", 17));
  WriteFile(InTree("B - Zwei.mp3"), WithTag("Zweiter", "Bert", 9));
  Start();
  // The button follows the pattern's last four characters.
  Find<QLineEdit>("txtSearchSpec")->setText("*.MP3");
  EXPECT_TRUE(Find<QPushButton>("CmdTagEdit")->isHidden());
  Search(Tree(), "*.wav;*.mp3");
  EXPECT_FALSE(Find<QPushButton>("CmdTagEdit")->isHidden());
  MarkRow(1);
  EXPECT_EQ(Field("TxtTitel"), "Titel");  // the panel is closed: nothing is filled
  auto* panel = Find<TagPanel>("FrameMp3Tag");
  EXPECT_EQ(panel->title(), "MP3 - Tag - Editor");

  Click("CmdTagEdit");
  EXPECT_EQ(window_->findChild<QStackedWidget*>("lowerStack")->currentWidget(), panel);
  EXPECT_FALSE(window_->findChild<SlotPanel*>()->isVisible());
  EXPECT_EQ(Field("TxtTitel"), Padded("Zweiter"));
  EXPECT_EQ(Field("ComboGenreTyp"), "Metal");

  MarkRow(0);  // a click into the list: the first marked entry is shown
  EXPECT_EQ(Field("TxtInterpret"), Padded("Anna"));

  // "nachher" shows the tag the file name would give, "vorher" the stored one.
  Find<QLineEdit>("TxtSeparator")->setText(" - ");
  Click("OptKeineAus");
  EXPECT_EQ(Field("TxtTitel"), "A");
  EXPECT_EQ(Field("TxtInterpret"), "Eins");
  Find<QLineEdit>("TxtKommentar")->setText("getippt");
  Click("OptAlleAus");
  EXPECT_EQ(Field("TxtTitel"), Padded("Erster"));
  Click("OptKeineAus");  // the typed comment is not restored
  EXPECT_EQ(Field("TxtKommentar"), "");

  Click("CmdTagExit");
  EXPECT_EQ(window_->findChild<QStackedWidget*>("lowerStack")->currentWidget(),
            window_->findChild<SlotPanel*>());
}

// Every marked file gets its record, the others none; a 40-character part
// is shown whole and written as its first 30. ("aus" and the genre: the tag
// editor's tests.)
TEST_F(MainExtrasTest, TagUebernehmenWritesEveryMarkedFileAndRefreshesTheList) {
  const std::string longName = "Bert - " + std::string(40, 'L') + ".mp3";
  WriteFile(InTree("Anna - Eins - Platte.mp3"), WithTag("alt", "alt", 17));
  WriteFile(InTree(longName), kAudio);
  WriteFile(InTree("Carl - Drei.mp3"), WithTag("bleibt", "bleibt", 1));
  Start();
  Trigger("OptLogFile");
  Search(Tree(), "*.mp3");
  MarkRow(0);
  MarkRow(1);
  Click("CmdTagEdit");
  Find<QLineEdit>("TxtSeparator")->setText(" - ");
  Find<QComboBox>("ComboAlbum")->setEditText("3");
  Find<QLineEdit>("TxtKommentar")->setText("neu");
  WriteFile(InTree("Dora - Vier.mp3"), "");  // appears with the refreshed list

  Click("CmdEditTag");

  const TagRecord eins = Stored(InTree("Anna - Eins - Platte.mp3"));
  EXPECT_EQ(FieldText(eins.album) + FieldText(eins.comment), Padded("Platte") + Padded("neu"));
  EXPECT_EQ(FieldText(Stored(InTree(longName)).artist), std::string(30, 'L'));
  EXPECT_EQ(Field("TxtInterpret"), std::string(40, 'L'));
  EXPECT_EQ(Stored(InTree("Carl - Drei.mp3")), Record("bleibt", "bleibt", 1));

  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("Anna - Eins - Platte.mp3"), InTree(longName),
                                      InTree("Carl - Drei.mp3"), InTree("Dora - Vier.mp3")}));
  EXPECT_EQ(Text("cmdSearch"), "&Reset");
  EXPECT_NE(ReadFile(window_->logPath()).find("--- Edit TAG ---\r\nFile= " + InTree(longName)),
            std::string::npos);
  EXPECT_TRUE(Find<QRadioButton>("OptKeineAus")->isChecked());
  EXPECT_TRUE(Find<TagPanel>("FrameMp3Tag")->isVisible());
}

// A file with an ID3v2 tag: "vorher" marks it and shows its full title
// beside the record's; "nachher" shows the cut and the Windows-1252 text the
// record gets. "ID3v2 schreiben" is kept in the settings; "nie" hides it all.
TEST_F(MainExtrasTest, TagPanelShowsTheId3v2TagAndTheCut) {
  const std::string title = "Ein Titel, der länger ist als dreißig Zeichen";
  WriteFile(InTree("x.mp3"), Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Kurz")), 100) +
                                 WithTag("Kurz", "Anna", 17));
  Start();
  OpenTagPanel("*.mp3");
  EXPECT_EQ(Field("LabId3v2"), "ID3v2.3-Tag");
  EXPECT_EQ(Field("LabId3Titel"), "");  // the same title in both

  Click("OptKeineAus");
  Find<QComboBox>("ComboTitel")->setEditText("fest");
  auto* titel = Find<QLineEdit>("TxtTitel");
  titel->setText(QString::fromStdString(title));
  emit titel->textEdited(titel->text());
  EXPECT_EQ(Field("LabId3v2"), "ID3v2.3-Tag wird mitgeschrieben");
  // 30 characters, the blank at the cut not shown
  EXPECT_EQ(Field("LabId3Titel"), "ID3v1: Ein Titel, der länger ist als   ID3v2: " + title);
  EXPECT_EQ(Field("LabId3Album"), "ID3v1: ");  // "aus": the ID3v2 value stays as stored
  titel->setText("ab€→");                      // "?" for what Windows-1252 lacks
  emit titel->textEdited(titel->text());
  EXPECT_EQ(Field("LabId3Titel"), "ID3v1: ab€?   ID3v2: ab€→");

  Trigger("OptId3v2_never");
  EXPECT_EQ(Field("LabId3v2") + Field("LabId3Titel"), "");
  window_.reset();
  Start();
  EXPECT_TRUE(Find<QAction>("OptId3v2_never")->isChecked());
  EXPECT_FALSE(Find<QAction>("OptId3v2_auto")->isChecked());
}

// A FLAC file: the button shows for "*.flac", both views name the format,
// and "nachher" shows the name parts uncut.
TEST_F(MainExtrasTest, TagPanelWritesTheOwnTagOfAFlacFile) {
  const std::string title = "Grüße aus Köln für 5 € – ein langer Titelsatz";
  const std::string path = InTree("Anna - " + title + ".flac");
  if (const std::string why = MakeAudioFile(kAudioKinds[0], path); !why.empty())
    GTEST_SKIP() << why;
  Start();
  Search(Tree(), "*.flac");
  EXPECT_FALSE(Find<QPushButton>("CmdTagEdit")->isHidden());
  MarkRow(0);
  Click("CmdTagEdit");
  EXPECT_EQ(Field("LabId3v2"), "FLAC-Datei, Vorbis-Kommentar");
  Find<QLineEdit>("TxtSeparator")->setText(" - ");
  Find<QComboBox>("ComboInterpret")->setEditText("1");
  Find<QComboBox>("ComboTitel")->setEditText("2");
  Click("OptKeineAus");
  EXPECT_EQ(Field("LabId3v2"), "FLAC-Datei: Vorbis-Kommentar wird geschrieben");
  EXPECT_EQ(Field("TxtTitel"), title);
}

// An emptied comment field is a fixed empty text, not "aus" (both tags get
// it: the tag editor's test).
TEST_F(MainExtrasTest, FixedEmptyCommentClearsBothTags) {
  // As the id3v2 tool writes them: no language, both tags.
  const std::string comment = Id3v2Frame(3, "COMM", std::string("\0\0\0\0\0c", 6));
  TagRecord record = Record("T", "", 255, "c");
  WriteFile(InTree("x.mp3"), Id3v2Bytes(3, comment + Id3v2Frame(3, "TIT2", Latin1Body("T")), 0) +
                                 kAudio + Bytes(record));
  Start();
  OpenTagPanel("*.mp3");  // "vorher" shows the stored comment; the user empties it
  Find<QLineEdit>("TxtKommentar")->clear();
  Click("CmdEditTag");
  EXPECT_EQ(FieldText(Stored(InTree("x.mp3")).comment), Padded(""));
}

// Without Hilfe.txt beside the program the help shows "ERROR" once and opens empty.
TEST_F(MainExtrasTest, MenuOpensHelpHistoryAndAboutUnowned) {
  Start();
  QString shown;
  ModalAnswerer answerer{{"MessageBox", "OK", [&](QWidget* box) {
                            shown = box->windowTitle() + ": " + MessageText(box);
                          }}};
  for (const char* action : {"MnuHilfe", "MnuHilfe", "MnuHistorie", "MnuHistorie", "MnuAbout"}) {
    Trigger(action);
  }
  auto entries = [&](const char* name) {
    return static_cast<LineListWindow*>(TopLevel(name))->List1()->count();
  };
  EXPECT_EQ(answerer.log(), (std::vector<std::string>{"MessageBox:OK"}));
  EXPECT_EQ(shown, "ERROR: File: Hilfe.txt nicht gefunden");
  EXPECT_EQ(entries("Hilfe"), 0);
  for (const char* name : {"Hilfe", "Hist", "frmAbout"}) {
    QWidget* window = TopLevel(name);
    ASSERT_NE(window, nullptr) << name;
    EXPECT_EQ(window->parentWidget(), nullptr) << name;
    EXPECT_FALSE(window->isModal()) << name;
  }
  const int lines = static_cast<int>(ChangeHistoryLines().size());
  EXPECT_EQ(entries("Hist"), lines);

  // A closed window is built afresh, again with every entry once.
  TopLevel("Hist")->close();
  Gone();
  Trigger("MnuHistorie");
  EXPECT_EQ(entries("Hist"), lines);
}

// With Hilfe.txt beside the program the help shows it line by line, without
// a message, scrolled to its longest line.
TEST_F(MainExtrasTest, HelpShowsTheFileLineByLineAndScrollsToItsLongestLine) {
  const std::string longLine = "Lange Zeile:" + std::string(300, 'x');
  WriteFile(AppFolder() + "/Hilfe.txt", "Velmora-Hilfe\r\n\r\n\tSuche\r\n" + longLine + "\r\n");
  Start();
  EXPECT_TRUE(Answered("MnuHilfe", {}));
  Gone();
  QListWidget* list = static_cast<LineListWindow*>(TopLevel("Hilfe"))->List1();
  std::vector<std::string> entries;
  for (int i = 0; i < list->count(); ++i) entries.push_back(list->item(i)->text().toStdString());
  EXPECT_EQ(entries, (std::vector<std::string>{"Velmora-Hilfe", "", "\tSuche", longLine}));
  EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(),
            list->fontMetrics().horizontalAdvance(QString::fromStdString(longLine)));
}

TEST_F(MainExtrasTest, AboutShowsTheVersionAndClosesOnOkEnterAndEscape) {
  Start();
  for (int key : {0, int{Qt::Key_Return}, int{Qt::Key_Escape}}) {
    Trigger("MnuAbout");
    QPointer<QWidget> about = TopLevel("frmAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About Velmora");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$"))
                    .match(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text())
                    .hasMatch());
    if (key == 0) {
      about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    } else {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(about, &press);
    }
    Gone();
    EXPECT_TRUE(about.isNull()) << key;  // closed and discarded
  }
}

TEST_F(MainExtrasTest, ExplorerLinkCreatesThenRemovesTheFolderEntry) {
  const std::string entry = temp_ / "xdg/applications/velmora.desktop";
  const std::string command =
      ContextLinkCommand(QCoreApplication::applicationFilePath().toStdString());
  Start();

  std::vector<std::string> messages;
  auto keep = [&](QWidget* box) { messages.push_back(MessageText(box).toStdString()); };
  ModalAnswerer answerer{{"MessageBox", "OK", keep}, {"MessageBox", "OK", keep}};
  Trigger("OptExplorerLink");
  EXPECT_EQ(ReadLinkCommand(entry), command);
  Trigger("OptExplorerLink");
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_EQ(messages, (std::vector<std::string>{"Created Context-Menu for Explorer\n" + command,
                                                "Deleted Context-Menu for Explorer"}));
  EXPECT_FALSE(Find<QAction>("OptExplorerLink")->isChecked());
}

}  // namespace
}  // namespace velmora::testing
