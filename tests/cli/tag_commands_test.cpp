// velmora-cli's tag and read-tag on temporary MP3 stand-ins.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// 200 bytes of audio stand-in that never end in a tag.
const std::string kAudio(200, '\x55');

// A stored tag: "TAG", four 30/30/30/4/30 fields, genre byte.
std::string Tag(const std::string& title, const std::string& artist, unsigned char genre) {
  auto field = [](std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
  };
  return "TAG" + field(title, 30) + field(artist, 30) + field("Album", 30) + "1999" +
         field("", 30) + static_cast<char>(genre);
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

// read-tag: an unreadable file is reported and fails the command, the others
// are shown. tag: title and artist from the name's parts, a fixed comment
// and genre, the album as stored; every file of the pattern gets its tag.
TEST(CliTag, WritesTagsFromFileNamesAndFixedTextsThatReadTagShows) {
  TempFolder dir;
  WriteFile(dir / "Artist - Title.mp3", kAudio);
  WriteFile(dir / "Band - Song - X.mp3", kAudio + Tag("Titel", "Wer", 200));
  WriteFile(dir / "short.mp3", "abc");
  WriteFile(dir / "notes.txt", "not an mp3");
  const std::string plain = dir / "Artist - Title.mp3", tagged = dir / "Band - Song - X.mp3";

  CliResult r = RunCli({"read-tag", "--json", tagged, dir / "short.mp3", plain});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("Fehler beim Lesen des Tag's\nin File: " + dir / "short.mp3"));
  std::vector<nlohmann::json> lines = JsonLines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  EXPECT_EQ(lines[0]["file"], tagged);
  EXPECT_EQ(lines[0]["tag"], true);
  EXPECT_EQ(lines[0]["title"], "Titel" + std::string(25, ' '));  // trailing blanks kept
  EXPECT_EQ(lines[0]["year"], "1999");
  EXPECT_EQ(lines[0]["genre"], 200);
  EXPECT_EQ(lines[0]["genreName"], "Undefined");
  EXPECT_TRUE(lines[0]["id3v2"].is_null());
  EXPECT_EQ(lines[1]["tag"], false);
  EXPECT_EQ(lines[1]["title"], "");
  r = RunCli({"read-tag", plain});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(plain + "\n  Tag:       nein"));

  r = RunCli({"tag", "--pattern", "* - *.mp3", "--separator", " - ", "--title", "2", "--artist",
              "1", "--comment", "=von velmora", "--genre", "=Rock", dir.path()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(tagged + ": Song | Band | Album | 1999 | von velmora | Rock"));
  EXPECT_EQ(ReadFile(dir / "notes.txt"), "not an mp3");
  r = RunCli({"read-tag", "--json", plain, tagged});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = JsonLines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["title"], "Title" + std::string(25, ' '));
  EXPECT_EQ(lines[0]["artist"], "Artist" + std::string(24, ' '));
  EXPECT_EQ(lines[1]["comment"], "von velmora" + std::string(19, ' '));
  EXPECT_EQ(lines[1]["genreName"], "Rock");
  EXPECT_EQ(ReadFile(plain).substr(0, kAudio.size()), kAudio);
}

}  // namespace
}  // namespace velmora
