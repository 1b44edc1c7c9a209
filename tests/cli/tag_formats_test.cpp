// velmora-cli tag on FLAC, Ogg Vorbis, Opus and M4A files made by the tools
// of the field: every field in full Unicode and length, read back by us and
// by those tools, the decoded audio untouched, undo exact to the byte and
// the nanosecond, and a damaged file refused unchanged. A format whose tool
// is missing skips.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/support/audio_files.h"

namespace velmora {
namespace {

using namespace velmora::testing;

const std::string kTitle = "Grüße aus Köln für 5 € – ein langer Titelsatz";  // 45 characters
const std::string kArtist = "Björk & die Ärzte", kAlbum = "Straße", kComment = "Preis: 9 €";

class CliTagFormats : public ::testing::TestWithParam<AudioKind> {
 protected:
  void SetUp() override {
    file = folder / (std::string("song") + GetParam().extension);
    journal = folder / "journal";
    const std::string why = MakeAudioFile(GetParam(), file);
    if (!why.empty()) GTEST_SKIP() << why;
    SetModified(file, 1500000000, 123456789);
    original = ReadFile(file);
  }
  CliResult Tag(const std::string& comment) {
    return RunCli({"tag", "--pattern", std::string("*") + GetParam().extension, "--title",
                   "=" + kTitle, "--artist", "=" + kArtist, "--album", "=" + kAlbum, "--comment",
                   "=" + comment, "--year", "=2024", "--genre", "=Rock", "--journal", journal,
                   folder.path()});
  }
  void ExpectUndoneExactly() {
    EXPECT_TRUE(Succeeds(Undo(journal)));
    EXPECT_TRUE(ReadFile(file) == original);
    EXPECT_EQ(Modified(file), 1500000000123456789LL);
  }

  TempFolder folder;
  std::string file, journal, original;
};

TEST_P(CliTagFormats, WritesEveryFieldInFullAndOtherToolsReadIt) {
  const std::string audio = DecodedAudio(file);
  const std::map<std::string, std::string> formats = {
      {".flac", "FLAC"}, {".ogg", "Ogg Vorbis"}, {".opus", "Opus"}, {".m4a", "M4A"}};
  const CliResult plan =
      RunCli({"tag", "--dry-run", "--title", "=" + kTitle, file.substr(0, file.rfind('/'))});
  EXPECT_THAT(plan.out, HasSubstr("  " + formats.at(GetParam().extension) + " Titel: \"\" -> \"" +
                                  kTitle + "\"\n"));
  EXPECT_TRUE(ReadFile(file) == original);
  const CliResult tag = Tag(kComment);
  ASSERT_EQ(tag.status, 0) << tag.err;
  const CliResult read = RunCli({"read-tag", "--json", file});
  ASSERT_EQ(read.status, 0) << read.err;
  const nlohmann::json json = nlohmann::json::parse(read.out);
  EXPECT_EQ(json["title"], kTitle);
  EXPECT_EQ(json["artist"], kArtist);
  EXPECT_EQ(json["album"], kAlbum);
  EXPECT_EQ(json["comment"], kComment);
  EXPECT_EQ(json["year"], "2024");
  EXPECT_EQ(json["genre"], "Rock");
  EXPECT_EQ(DecodedAudio(file), audio);

  const struct {
    const char* extension;
    std::string tool, command;
  } readers[] = {{"", "mutagen-inspect", "mutagen-inspect"},
                 {".flac", "metaflac", "metaflac --export-tags-to=-"},
                 {".ogg", "vorbiscomment", "vorbiscomment -l"},
                 {".opus", "opusinfo", "opusinfo"}};
  for (const auto& reader : readers) {
    if (*reader.extension != '\0' && reader.extension != std::string(GetParam().extension))
      continue;
    if (!HasTool(reader.tool)) {
      std::printf("%s is not installed: not compared\n", reader.tool.c_str());
      continue;
    }
    const std::string shown = Output(reader.command + " " + Quote(file));
    SCOPED_TRACE(reader.tool + ":\n" + shown);
    for (const std::string& value : {kTitle, kArtist, kAlbum, kComment}) {
      EXPECT_THAT(shown, HasSubstr(value));
    }
  }
  ExpectUndoneExactly();
}

// A comment of 70,000 characters needs new Ogg pages (every page after it
// renumbered) and moves the M4A audio (every chunk offset rewritten).
TEST_P(CliTagFormats, UndoTakesBackAGrownTagExactly) {
  const std::string audio = DecodedAudio(file);
  ASSERT_TRUE(Succeeds(Tag(std::string(70000, 'k'))));
  EXPECT_GT(ReadFile(file).size(), original.size() + 60000);  // padding takes some
  EXPECT_EQ(DecodedAudio(file), audio);
  ExpectUndoneExactly();
}

// Damage our own check finds, and (the FLAC block of type 127) damage only
// TagLib reports.
TEST_P(CliTagFormats, RefusesADamagedFileUnchanged) {
  const std::string extension = GetParam().extension;
  std::vector<std::string> damaged(1, original);
  if (extension == ".flac") {
    damaged[0].replace(5, 3, "\xFF\xFF\xFF");  // the first block runs past the end
    damaged.push_back(original);
    damaged[1][4] = '\x7F';
  } else if (extension == ".m4a") {
    damaged[0].replace(damaged[0].find("moov"), 4, "moox");
  } else {
    damaged[0].resize(200);  // the file ends inside its header pages
  }
  for (const std::string& bytes : damaged) {
    WriteFile(file, bytes);
    const CliResult tag = Tag(kComment);
    EXPECT_EQ(tag.status, 1);
    EXPECT_THAT(tag.err, HasSubstr(file));
    EXPECT_THAT(tag.err, HasSubstr("left unchanged"));
    EXPECT_TRUE(ReadFile(file) == bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, CliTagFormats, ::testing::ValuesIn(kAudioKinds),
                         [](const ::testing::TestParamInfo<AudioKind>& info) {
                           return std::string(info.param.extension + 1);
                         });

}  // namespace
}  // namespace velmora
