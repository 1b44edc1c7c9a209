#include "tags/tag_editor.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "services/posix_file_system.h"
#include "tags/genre.h"
#include "tags/tag_file.h"
#include "tags/tag_test_support.h"

namespace velmora {
namespace {

using namespace velmora::testing;

struct FakeHost : TagEditorHost {
  void ShowTagValues() override { ++shown; }
  void SetProgress(int value) override {
    if (value == failAtProgress) throw std::runtime_error("progress bar gone");
    progress.push_back(value);
  }
  void RepeatSearch() override { ++searches; }
  int shown = 0, searches = 0, failAtProgress = -1;
  std::vector<int> progress;
};

struct RecordingLog : LogWriter {
  void WriteLog(const std::string& text, int location) override {
    lines.push_back(location == 0 ? text : "?");
  }
  std::vector<std::string> lines;
};

std::string StoredTag(const std::string& title, const std::string& comment, unsigned char genre) {
  TagRecord record;
  record.tag = {'T', 'A', 'G'};
  SetFieldText(record.title, title);
  SetFieldText(record.album, "Platte");
  SetFieldText(record.year, "1999");
  SetFieldText(record.comment, comment);
  record.genre = genre;
  const TagBytes bytes = ToBytes(record);
  return Audio(300) + std::string(bytes.begin(), bytes.end());
}

std::string Padded(const std::string& text, std::size_t width = 30) {
  return text + std::string(width - text.size(), ' ');
}

class TagEditorTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const std::string& bytes) {
    WriteFile(folder / name, bytes);
    return folder / name;
  }
  TagRecord Stored(const std::string& path) { return ReadTag(disk, path, reporter); }

  TempFolder folder;
  PosixFileSystem disk;
  RecordingReporter reporter;
  RecordingLog log;
  FakeHost host;
  TagEditor editor{disk, reporter, log, host};
  TagEditorFields& f = editor.fields();
};

TEST_F(TagEditorTest, DefaultChoosersRun) {
  const std::string tagged = File("Artist - Title.mp3", StoredTag("Alt", "alt", 17));
  const std::string untagged = File("Band - " + std::string(40, 'L') + ".mp3", Audio(300));
  const std::string skipped = File("Other - Song.mp3", Audio(300));
  f.TxtSeparator = " - ";
  f.TxtKommentar = "Mein Kommentar";
  editor.CmdEditTag_Click({{tagged, true}, {untagged, true}, {skipped, false}}, false);

  const TagRecord first = Stored(tagged);
  EXPECT_EQ(FieldText(first.title), Padded("Artist"));
  EXPECT_EQ(FieldText(first.artist), Padded("Title"));
  EXPECT_EQ(FieldText(first.album), Padded("Platte"));
  EXPECT_EQ(FieldText(first.year), "1999");
  EXPECT_EQ(FieldText(first.comment), Padded("Mein Kommentar"));
  EXPECT_EQ(first.genre, 17);
  // No stored tag: "aus" fields are blanks, genre Blues; a 40-character part
  // is shown whole and written as its first 30.
  const TagRecord second = Stored(untagged);
  EXPECT_EQ(f.TxtInterpret, std::string(40, 'L'));
  EXPECT_EQ(FieldText(second.artist), std::string(30, 'L'));
  EXPECT_EQ(FieldText(second.album), Padded(""));
  EXPECT_EQ(second.genre, 0);
  EXPECT_EQ(ReadFile(untagged).size(), 428u);
  EXPECT_EQ(ReadFile(skipped), Audio(300));

  EXPECT_EQ(editor.view(), TagView::kAfter);
  EXPECT_EQ(host.progress, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(host.searches, 1);
  EXPECT_TRUE(reporter.reports.empty());
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(TagEditorTest, ChooserTable) {
  const std::string path = File("Eins - Zwei - Drei - Vier.mp3", StoredTag("T", "Notiz", 200));
  f = {" - ", "Titel", "Getippt", "Album", "Kommentar", "Jahr", "Blues",
       "3",   "4",     "1",       "aus",   "2",         "aus"};  // "4" acts like "fest"
  editor.OptKeineAus_Click({});
  editor.FillTagEditor(path);
  EXPECT_EQ(f.TxtTitel, "Drei - Vier");
  EXPECT_EQ(f.TxtInterpret, "Getippt");
  EXPECT_EQ(f.TxtAlbum, "Eins");
  EXPECT_EQ(f.TxtKommentar, Padded("Notiz"));
  EXPECT_EQ(f.TxtJahr, "Zwei");
  EXPECT_EQ(f.ComboGenreTyp, "Undefined");
  EXPECT_EQ(BuildTagRecord(f).genre, kGenreOther);

  f.ComboGenre = "fest";  // every text but "aus" keeps the typed genre
  f.ComboGenreTyp = "Jazz";
  editor.FillTagEditor(path);
  EXPECT_EQ(BuildTagRecord(f).genre, 8);
}

TEST_F(TagEditorTest, ViewsAndPanelState) {
  TagList list(6, TagListEntry{folder / "unmarked.mp3", false});
  list[2] = {File("c - d.mp3", StoredTag("Zweiter", "K2", 4)), true};
  list[5] = {File("a - b.mp3", StoredTag("Erster", "K1", 3)), true};
  f.TxtSeparator = " - ";

  editor.OptKeineAus_Click(list);  // panel closed: nothing is filled
  editor.OnFoundListClick(list);
  EXPECT_EQ(host.shown, 0);

  editor.OptAlleAus_Click(list);
  f.TxtKommentar = "fest getippt";
  editor.CmdTagEdit_Click(list);  // the first marked entry is position 2
  EXPECT_EQ(f.TxtTitel, Padded("Zweiter"));
  EXPECT_EQ(f.TxtKommentar, Padded("K2"));  // the typed value is overwritten
  EXPECT_EQ(f.ComboGenreTyp, "Disco");
  editor.OptKeineAus_Click(list);
  EXPECT_EQ(f.TxtTitel, "c");
  EXPECT_EQ(f.TxtKommentar, Padded("K2"));  // and not restored

  editor.CmdTagExit_Click();
  editor.OnFoundListClick(list);
  EXPECT_EQ(host.shown, 2);
}

TEST_F(TagEditorTest, NoMarksWritesNothingButRefreshes) {
  const TagList list = {{File("x - y.mp3", Audio(300)), false}};
  editor.CmdTagEdit_Click(list);
  editor.CmdEditTag_Click(list, true);
  EXPECT_EQ(ReadFile(list[0].path), Audio(300));
  EXPECT_EQ(host.shown, 0);
  EXPECT_EQ(host.searches, 1);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(TagEditorTest, LogLinesAndFailuresAtLocations24And25) {
  const std::string a = File("a - b.mp3", Audio(300));
  const std::string bare = File("Ohne Punkt", StoredTag("Alt", "", 0));
  editor.CmdEditTag_Click({{a, true}, {folder / "z.mp3", false}, {bare, true}}, true);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"--- Edit TAG ---", "File= " + a,
                                                 "--- Edit TAG ---", "File= " + bare}));
  // A name without extension has no parts: reported, and the fields as they
  // stand are written.
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].location, 24);
  EXPECT_EQ(reporter.reports[0].number, 5);
  EXPECT_EQ(reporter.reports[0].context, "Fehler beim Auslesen des Tag's");
  EXPECT_EQ(reporter.reports[0].file, bare);
  EXPECT_EQ(Stored(bare).title, Stored(a).title);

  // A failure of the run itself ends it: no further file, no refresh.
  const std::string c = File("c - d.mp3", Audio(300));
  host = FakeHost{};
  host.failAtProgress = 2;
  editor.CmdEditTag_Click({{a, true}, {c, true}}, false);
  ASSERT_EQ(reporter.reports.size(), 2u);
  EXPECT_EQ(reporter.reports[1].location, 25);
  EXPECT_EQ(reporter.reports[1].context, "Fehler beim Schreiben des Tag's");
  EXPECT_EQ(reporter.reports[1].file, c);
  EXPECT_EQ(ReadFile(c), Audio(300));
  EXPECT_EQ(host.searches, 0);
}

// A 2.4 tag with title, album, year and genre in UTF-8; padding for
// in-place writes.
std::string PlayerTag(const std::string& title) {
  auto text = [](const char* id, const std::string& value) {
    return Id3v2Frame(4, id, '\3' + value);
  };
  return Id3v2Bytes(4,
                    text("TIT2", title) + text("TALB", "Grüne Platte") + text("TDRC", "1987") +
                        text("TCON", "Classic Rock"),
                    300);
}

// An ID3v1.1 track number survives a comment that fits 28 characters and
// gives way to a longer one.
TEST_F(TagEditorTest, KeepsTheId3v11TrackNumber) {
  std::string tagged = StoredTag("T", "kurz", 0);
  tagged[tagged.size() - 3] = '\0';
  tagged[tagged.size() - 2] = '\x07';
  const std::string a = File("a - b.mp3", tagged), b = File("c - d.mp3", tagged);
  f.TxtKommentar = std::string(28, 'k');
  editor.CmdEditTag_Click({{a, true}}, false);
  EXPECT_EQ(Stored(a).comment[28], '\0');
  EXPECT_EQ(Stored(a).comment[29], '\x07');
  EXPECT_EQ(FieldText(Stored(a).comment), std::string(28, 'k'));
  f.TxtKommentar = std::string(29, 'k');
  editor.CmdEditTag_Click({{b, true}}, false);
  EXPECT_EQ(FieldText(Stored(b).comment), std::string(29, 'k') + ' ');
}

// "aus" fields stay as stored in the ID3v2 tag; the others get full values.
// Without an ID3v1 record, "aus" takes the ID3v2 values for the record.
TEST_F(TagEditorTest, Id3v2BesideTheRecord) {
  const std::string longTitle = "Ein sehr langer Titel über fünfundvierzig Zei";
  const std::string path = File("Wer - " + longTitle + ".mp3", PlayerTag("Alt") + Audio(300));
  f.TxtSeparator = " - ";
  f.ComboTitel = "2";
  f.ComboInterpret = "1";
  editor.CmdEditTag_Click({{path, true}}, false);
  ASSERT_TRUE(reporter.reports.empty()) << reporter.reports[0].description;
  const std::optional<Id3v2Values> v2 = TagFile(disk, path, false).ReadId3v2(reporter);
  ASSERT_TRUE(v2);
  EXPECT_EQ(v2->fields[kId3Title], longTitle);
  EXPECT_EQ(v2->fields[kId3Artist], "Wer");
  EXPECT_EQ(v2->fields[kId3Album], "Grüne Platte");
  EXPECT_EQ(v2->fields[kId3Year], "1987");
  EXPECT_EQ(v2->fields[kId3Genre], "ClassicRock");
  EXPECT_EQ(v2->fields[kId3Comment], "Kommentar");
  const TagRecord record = Stored(path);
  EXPECT_EQ(FieldText(record.title), "Ein sehr langer Titel über fün");
  EXPECT_EQ(FieldText(record.album), "Grüne Platte" + std::string(18, ' '));
  EXPECT_EQ(FieldText(record.year), "1987");
  EXPECT_EQ(record.genre, 1);

  // "nie": the ID3v2 tag is neither read nor written.
  const std::string before = ReadFile(path).substr(0, PlayerTag("Alt").size());
  editor.SetId3v2Mode(Id3v2Mode::kNever);
  f.ComboTitel = "fest";
  f.TxtTitel = "Anders";
  editor.CmdEditTag_Click({{path, true}}, false);
  EXPECT_EQ(ReadFile(path).substr(0, before.size()), before);
  EXPECT_EQ(editor.Notes().tag, "");
}

// After: the record's value as stored, cut and in Windows-1252, and the full
// ID3v2 value beside it (the window test shows the before view).
TEST_F(TagEditorTest, NotesShowTheCutBeforeWriting) {
  const std::string path = File("x.mp3", PlayerTag(std::string(40, 'a')) + Audio(300));
  editor.OptKeineAus_Click({});
  editor.FillTagEditor(path);
  f.ComboTitel = "fest";
  f.TxtTitel = std::string(29, 'a') + "€→";
  const TagEditorNotes notes = editor.Notes();
  EXPECT_EQ(notes.tag, "ID3v2.4-Tag wird mitgeschrieben");
  EXPECT_EQ(notes.fields[kId3Title], "ID3v1: " + std::string(29, 'a') + "€   ID3v2: " + f.TxtTitel);
  EXPECT_EQ(notes.fields[kId3Album], "ID3v1: Grüne Platte");  // "aus": no ID3v2 value
  f.TxtTitel = "ab→";
  EXPECT_EQ(editor.Notes().fields[kId3Title], "ID3v1: ab?   ID3v2: ab→");
}

}  // namespace
}  // namespace velmora
