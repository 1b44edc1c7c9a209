#include "tags/tag_editor.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "services/posix_file_system.h"
#include "tags/genre.h"
#include "tags/tag_file.h"
#include "tags/tag_test_support.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// The panel's flow (the views, the first marked entry, the run over the
// found list) is the window's tag tests; here what lies beneath it.
struct FakeHost : TagEditorHost {
  void ShowTagValues() override {}
  void SetProgress(int value) override {
    if (value == failAtProgress) throw std::runtime_error("progress bar gone");
    progress.push_back(value);
  }
  void RepeatSearch() override { ++searches; }
  int searches = 0, failAtProgress = -1;
  std::vector<int> progress;
};

std::string StoredTag(const std::string& title, const std::string& comment) {
  return Audio(300) + Bytes(Record(title, "", 200, comment));
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
  Recorders log;
  FakeHost host;
  TagEditor editor{disk, reporter, log, host};
  TagEditorFields& f = editor.fields();
};

TEST_F(TagEditorTest, ChooserTable) {
  const std::string path = File("Eins - Zwei - Drei - Vier.mp3", StoredTag("T", "Notiz"));
  f = {" - ", "Titel", "Getippt", "Album", "Kommentar", "Jahr", "Blues",
       "3",   "4",     "1",       "aus",   "2",         "aus"};  // "4" acts like "fest"
  editor.OptKeineAus_Click({});
  editor.FillTagEditor(path);
  EXPECT_EQ(
      std::tie(f.TxtTitel, f.TxtInterpret, f.TxtAlbum, f.TxtKommentar, f.TxtJahr, f.ComboGenreTyp),
      std::make_tuple("Drei - Vier", "Getippt", "Eins", Padded("Notiz"), "Zwei", "Undefined"));
  EXPECT_EQ(BuildTagRecord(f).genre, kGenreOther);

  f.ComboGenre = "fest";  // every text but "aus" keeps the typed genre
  f.ComboGenreTyp = "Jazz";
  editor.FillTagEditor(path);
  EXPECT_EQ(BuildTagRecord(f).genre, 8);
}

// Genre "aus" writes back what is stored; a file without tag has no genre
// to invent, and 255 (none) stays none.
TEST_F(TagEditorTest, GenreAusKeepsNoGenre) {
  const struct {
    std::string bytes, shown;
    int genre;
  } rows[] = {{Audio(300), "", 255},
              {Audio(300) + Bytes(Record("T", "", 255)), "", 255},
              {Audio(300) + Bytes(Record("T", "", 200)), "Undefined", kGenreOther},
              {Audio(300) + Bytes(Record("T", "", 17)), "Rock", 17}};
  for (const auto& row : rows) {
    const std::string path = File("a - b.mp3", row.bytes);
    editor.CmdEditTag_Click({{path, true}}, false);
    EXPECT_EQ(f.ComboGenreTyp, row.shown) << row.genre;
    EXPECT_EQ(Stored(path).genre, row.genre) << row.genre;
  }
}

TEST_F(TagEditorTest, LogLinesAndFailuresAtLocations24And25) {
  const std::string a = File("a - b.mp3", Audio(300));
  editor.CmdEditTag_Click({{a, false}}, true);  // nothing marked: nothing written, but refreshed
  EXPECT_EQ(ReadFile(a) + std::to_string(host.searches), Audio(300) + "1");
  EXPECT_TRUE(log.logLines.empty());

  const std::string bare = File("Ohne Punkt", StoredTag("Alt", ""));
  host = FakeHost{};
  editor.CmdEditTag_Click({{a, true}, {folder / "z.mp3", false}, {bare, true}}, true);
  EXPECT_EQ(log.logLines, (std::vector<std::string>{"--- Edit TAG ---", "File= " + a,
                                                    "--- Edit TAG ---", "File= " + bare}));
  EXPECT_EQ(host.progress, (std::vector<int>{0, 1, 2, 3}));
  // A name without extension has no parts: reported, and the fields as they
  // stand are written.
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].Where(), "24 5 Fehler beim Auslesen des Tag's|" + bare);
  EXPECT_EQ(Stored(bare).title, Stored(a).title);

  // A failure of the run itself ends it: no further file, no refresh.
  const std::string c = File("c - d.mp3", Audio(300));
  host = FakeHost{};
  host.failAtProgress = 2;
  editor.CmdEditTag_Click({{a, true}, {c, true}}, false);
  ASSERT_EQ(reporter.reports.size(), 2u);
  EXPECT_EQ(reporter.reports[1].Where(), "25 51 Fehler beim Schreiben des Tag's|" + c);
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
  std::string tagged = StoredTag("T", "kurz");
  tagged[tagged.size() - 3] = '\0';
  tagged[tagged.size() - 2] = '\x07';
  const std::string a = File("a - b.mp3", tagged), b = File("c - d.mp3", tagged);
  f.TxtKommentar = std::string(28, 'k');
  editor.CmdEditTag_Click({{a, true}}, false);
  const auto comment = Stored(a).comment;
  EXPECT_EQ(std::string(comment.begin(), comment.end()), std::string(28, 'k') + '\0' + '\x07');
  f.TxtKommentar = std::string(29, 'k');
  editor.CmdEditTag_Click({{b, true}}, false);
  EXPECT_EQ(FieldText(Stored(b).comment), std::string(29, 'k') + ' ');
}

// A fixed comment, empty or not, goes into both tags.
TEST_F(TagEditorTest, FixedCommentGoesIntoBothTags) {
  const std::string comment = Id3v2Frame(3, "COMM", std::string("\0eng\0c", 6));
  for (const std::string value : {"", "neu"}) {
    const std::string path =
        File("a.mp3", Id3v2Bytes(3, comment, 100) + Audio(300) + Bytes(Record("T", "", 1, "c")));
    f.ComboKommentar = "fest";
    f.TxtKommentar = value;
    editor.CmdEditTag_Click({{path, true}}, false);
    EXPECT_EQ(FieldText(Stored(path).comment), Padded(value)) << value;
    const std::optional<Id3v2Values> v2 = TagFile(disk, path, false).ReadId3v2(reporter);
    ASSERT_TRUE(v2);
    EXPECT_EQ(v2->fields[kId3Comment], value);
  }
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
  EXPECT_EQ(v2->fields, (std::array<std::string, kId3Fields>{longTitle, "Wer", "Grüne Platte",
                                                             "Kommentar", "1987", "ClassicRock"}));
  const TagRecord record = Stored(path);
  EXPECT_EQ(std::make_tuple(FieldText(record.title), FieldText(record.album),
                            FieldText(record.year), record.genre),
            std::make_tuple("Ein sehr langer Titel über fün", "Grüne Platte" + std::string(18, ' '),
                            "1987", 1));

  // "nie": the ID3v2 tag is neither read nor written.
  const std::string before = ReadFile(path).substr(0, PlayerTag("Alt").size());
  editor.SetId3v2Mode(Id3v2Mode::kNever);
  f.ComboTitel = "fest";
  f.TxtTitel = "Anders";
  editor.CmdEditTag_Click({{path, true}}, false);
  EXPECT_EQ(ReadFile(path).substr(0, before.size()), before);
  EXPECT_EQ(editor.Notes().tag, "");
}

}  // namespace
}  // namespace velmora
