// velmora-cli's tag and read-tag on temporary MP3 stand-ins.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tags/tag_test_support.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Json = nlohmann::json;

const std::string kAudio = Audio(200);

std::vector<Json> JsonLines(const std::string& out) {
  std::vector<Json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
  return lines;
}

// Each of fields as in line.
void ExpectFields(const Json& line, const Json& fields) {
  for (const auto& [key, value] : fields.items()) EXPECT_EQ(line.value(key, Json()), value) << key;
}

// read-tag: an unreadable file is reported and fails the command, the others
// are shown. tag: title and artist from the name's parts, a fixed comment
// and genre, the album as stored; every file of the pattern gets its tag,
// which replaces a stored one.
TEST(CliTag, WritesTagsFromFileNamesAndFixedTextsThatReadTagShows) {
  TempFolder dir;
  TagRecord stored = Record("Titel", "Wer", 200);
  SetFieldText(stored.album, "Album");
  SetFieldText(stored.year, "1999");
  const std::string plain = dir / "Artist - Title.mp3", tagged = dir / "Band - Song - X.mp3";
  WriteFile(plain, kAudio);
  WriteFile(tagged, kAudio + Bytes(stored));
  WriteFile(dir / "short.mp3", "abc");
  WriteFile(dir / "notes.txt", "not an mp3");

  CliResult r = RunCli({"read-tag", "--json", tagged, dir / "short.mp3", plain});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("Fehler beim Lesen des Tag's\nin File: " + dir / "short.mp3"));
  std::vector<Json> lines = JsonLines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  // Trailing blanks are kept.
  ExpectFields(lines[0], {{"file", tagged}, {"tag", true}, {"title", Padded("Titel")}});
  ExpectFields(lines[0], {{"year", "1999"}, {"genre", 200}, {"genreName", "Undefined"}});
  EXPECT_TRUE(lines[0]["id3v2"].is_null());
  ExpectFields(lines[1], {{"tag", false}, {"title", ""}, {"genreName", ""}});
  r = RunCli({"read-tag", plain});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(plain + "\n  Tag:       nein"));
  EXPECT_THAT(r.out, HasSubstr("\n  Genre:     \n"));

  r = RunCli({"tag", "--pattern", "* - *.mp3", "--separator", " - ", "--title", "2", "--artist",
              "1", "--comment", "=von velmora", "--genre", "=Rock", dir.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(tagged + ": Song | Band | Album | 1999 | von velmora | Rock"));
  EXPECT_EQ(ReadFile(dir / "notes.txt"), "not an mp3");
  r = RunCli({"read-tag", "--json", plain, tagged});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = JsonLines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  ExpectFields(lines[0], {{"title", Padded("Title")}, {"artist", Padded("Artist")}});
  ExpectFields(lines[1], {{"comment", Padded("von velmora")}, {"genreName", "Rock"}});
  EXPECT_EQ(ReadFile(plain).substr(0, kAudio.size()), kAudio);
  EXPECT_EQ(ReadFile(tagged).size(), kAudio.size() + kTagSize);
}

// A file reported as failed is the file as it was: the ID3v2 part of a write
// goes only with the whole write.
TEST(CliTag, AFileReportedAsFailedIsUnchanged) {
  const TempFolder dir;
  const struct Row {
    const char* name;
    std::string bytes;
    const char* report;
  } rows[] = {
      {"empty.mp3", "", "shorter than 128 bytes"},
      {"song.bin", Id3v2Bytes(3, Id3v2Frame(3, "TPE1", Latin1Body("Alt")), 100) + kAudio,
       "no tag found, and not an MP3 file"},
  };
  for (const Row& row : rows) WriteFile(dir / row.name, row.bytes);
  const CliResult r =
      RunCli({"tag", "--pattern", "*.*", "--artist", "=Neu", "--id3v2", "always", dir.path()});
  EXPECT_EQ(r.status, 1);
  for (const Row& row : rows) {
    EXPECT_THAT(r.err, HasSubstr("in File: " + dir / row.name));
    EXPECT_THAT(r.err, HasSubstr(row.report));
    EXPECT_EQ(ReadFile(dir / row.name), row.bytes) << row.name;
  }
}

// The dry run shows old and new per field and tag, leaves every byte and
// makes no journal; --yes-all is taken and changes nothing.
TEST(CliTag, DryRunShowsOldAndNewAndWritesNothing) {
  TempFolder dir;
  const std::string tagged = dir / "Band - Song.mp3", plain = dir / "Artist - Title.mp3";
  const std::string taggedBytes = kAudio + Bytes(Record("Alt", "Band", 17));
  WriteFile(tagged, taggedBytes);
  WriteFile(plain, kAudio);
  const CliResult r = RunCli({"tag", "-n", "-y", "--separator", " - ", "--title", "2", "--artist",
                              "1", "--id3v2", "always", "--journal", dir / "journal", Bare(dir)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, plain +
                       "\n"
                       "  ID3v1 Titel: \"\" -> \"Title\"\n"
                       "  ID3v1 Interpret: \"\" -> \"Artist\"\n"
                       "  ID3v2.4 Titel: \"\" -> \"Title\"\n"
                       "  ID3v2.4 Interpret: \"\" -> \"Artist\"\n" +
                       tagged +
                       "\n"
                       "  ID3v1 Titel: \"Alt\" -> \"Song\"\n"
                       "  ID3v2.4 Titel: \"\" -> \"Song\"\n"
                       "  ID3v2.4 Interpret: \"\" -> \"Band\"\n");
  EXPECT_EQ(ReadFile(tagged), taggedBytes);
  EXPECT_EQ(ReadFile(plain), kAudio);
  EXPECT_EQ(Listing(dir.path()), (Names{"Artist - Title.mp3", "Band - Song.mp3"}));
}

}  // namespace
}  // namespace velmora
