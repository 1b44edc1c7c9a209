// The tag editor over real FLAC, Ogg Vorbis, Opus and M4A files: both views
// name the format, the fields come back in full, and a long tag is written
// as many edits (renumbered Ogg pages, rewritten MP4 chunk offsets) that
// undo takes back exactly. A format whose tool is missing skips.
#include "tags/audio_tag.h"

#include <gtest/gtest.h>

#include <map>

#include "services/posix_file_system.h"
#include "tags/tag_editor.h"
#include "tags/tag_file.h"
#include "tags/tag_test_support.h"
#include "tags/tag_undo.h"
#include "tests/support/audio_files.h"

namespace velmora {
namespace {

using namespace velmora::testing;

struct NoWindow : TagEditorHost {
  void ShowTagValues() override {}
  void SetProgress(int) override {}
  void RepeatSearch() override {}
};
struct NoLog : LogWriter {
  void WriteLog(const std::string&, Location) override {}
};

class AudioTagTest : public ::testing::TestWithParam<AudioKind> {
 protected:
  void SetUp() override {
    path = folder / (std::string("Björk - Grüße aus Köln für 5 € – ein langer Titelsatz") +
                     GetParam().extension);
    const std::string why = MakeAudioFile(GetParam(), path);
    if (!why.empty()) GTEST_SKIP() << why;
  }

  TempFolder folder;
  std::string path;
  PosixFileSystem disk;
  RecordingReporter reporter;
  NoWindow window;
  NoLog log;
};

TEST_P(AudioTagTest, EditorWritesTheNamePartsInFullAndNamesTheFormat) {
  const std::map<std::string, std::pair<std::string, std::string>> views = {
      {".flac", {"FLAC-Datei, Vorbis-Kommentar", "FLAC-Datei: Vorbis-Kommentar wird geschrieben"}},
      {".ogg",
       {"Ogg-Vorbis-Datei, Vorbis-Kommentar",
        "Ogg-Vorbis-Datei: Vorbis-Kommentar wird geschrieben"}},
      {".opus", {"Opus-Datei, Vorbis-Kommentar", "Opus-Datei: Vorbis-Kommentar wird geschrieben"}},
      {".m4a", {"M4A-Datei, MP4-Tag", "M4A-Datei: MP4-Tag wird geschrieben"}}};
  const auto& [before, after] = views.at(GetParam().extension);
  TagEditor editor(disk, reporter, log, window);
  editor.fields().TxtSeparator = " - ";
  editor.fields().ComboInterpret = "1";
  editor.fields().ComboTitel = "2";
  editor.CmdEditTag_Click({{path, true}}, false);
  ASSERT_TRUE(reporter.reports.empty()) << reporter.reports[0].description;
  EXPECT_EQ(editor.Notes().tag, after);
  editor.OptAlleAus_Click({{path, true}});
  EXPECT_EQ(editor.Notes().tag, before);
  EXPECT_EQ(editor.fields().TxtTitel, "Grüße aus Köln für 5 € – ein langer Titelsatz");
  EXPECT_EQ(editor.fields().TxtInterpret, "Björk");
}

TEST_P(AudioTagTest, LongTagIsManyEditsThatUndoTakesBack) {
  const std::string original = ReadFile(path);
  TagFile file(disk, path, true);
  Id3v2Changes changes;
  changes[kId3Comment] = std::string(70000, 'k');
  TagEdits edits;
  ASSERT_FALSE(file.PlanAudioTag(changes, edits));
  // FLAC has one metadata stretch to replace; the others move more.
  if (std::string(GetParam().extension) != ".flac") {
    EXPECT_GT(edits.edits.size(), 2U);
  }
  ASSERT_FALSE(file.Apply(edits));
  ASSERT_FALSE(UndoTagWrite(disk, path, PackTagEdits(edits)));
  EXPECT_TRUE(ReadFile(path) == original);
}

// ID3 tags around a FLAC stream are not TagLib's to render anew: they stay
// byte for byte.
TEST(AudioTagFlac, KeepsTheId3TagsAroundTheStream) {
  const TempFolder folder;
  const std::string path = folder / "x.flac";
  if (const std::string why = MakeAudioFile(kAudioKinds[0], path); !why.empty())
    GTEST_SKIP() << why;
  const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 10);
  const std::string tail = Bytes(Record("Alt"));
  const std::string original = head + ReadFile(path) + tail;
  WriteFile(path, original);
  PosixFileSystem disk;
  RecordingReporter reporter;
  Id3v2Changes changes;
  changes[kId3Title] = "Neu";
  TagEdits edits;
  TagFile file(disk, path, true);
  ASSERT_FALSE(file.PlanAudioTag(changes, edits));
  ASSERT_FALSE(file.Apply(edits));
  const std::string now = ReadFile(path);
  EXPECT_TRUE(now.starts_with(head) && now.ends_with(tail));
  const std::optional<AudioTagValues> read = TagFile(disk, path, false).ReadAudioTag(reporter);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->fields[kId3Title], "Neu");
  ASSERT_FALSE(UndoTagWrite(disk, path, PackTagEdits(edits)));
  EXPECT_TRUE(ReadFile(path) == original);
}

INSTANTIATE_TEST_SUITE_P(Formats, AudioTagTest, ::testing::ValuesIn(kAudioKinds),
                         [](const ::testing::TestParamInfo<AudioKind>& info) {
                           return std::string(info.param.extension + 1);
                         });

}  // namespace
}  // namespace velmora
