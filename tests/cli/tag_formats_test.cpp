// velmora-cli tag on FLAC, Ogg Vorbis, Opus and M4A files made by the tools
// of the field: every field in full Unicode and length, read back by us and
// by those tools, the decoded audio untouched, undo exact to the byte and
// the nanosecond, and a damaged file refused unchanged. A format whose tool
// is missing skips. ID3v2 tags between velmora-cli and eyeD3, id3v2 (id3lib)
// and mutagen's mid3v2, each test skipped when a tool is missing.
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
  const nlohmann::json json = nlohmann::json::parse(read.out),
                       expected = {{"title", kTitle},     {"artist", kArtist}, {"album", kAlbum},
                                   {"comment", kComment}, {"year", "2024"},    {"genre", "Rock"}};
  for (const auto& [key, value] : expected.items()) EXPECT_EQ(json[key], value) << key;
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

// Fifteen MPEG-1 layer III frames, so that every tool takes the file for
// audio.
std::string MpegAudio() {
  std::string frame = "\xff\xfb\x90";
  frame += '\0';
  for (int i = 0; i < 413; ++i) frame += static_cast<char>(i * 7 % 251);
  std::string audio;
  for (int i = 0; i < 15; ++i) audio += frame;
  return audio;
}

void ExpectLines(const std::string& text, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) EXPECT_THAT(text, HasSubstr(line));
}

// A 1x1 PNG: eyeD3 takes the picture's type from its bytes. The length
// comes from the array, so it cannot run past the bytes written here.
constexpr char kPngBytes[] =
    "\x89PNG\r\n\x1a\n"
    "\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xde"
    "\0\0\0\x0cIDAT\x78\xda\x63\xf8\xcf\xc0\0\0\x03\x01\x01\0\xf7\x03\x41\x43"
    "\0\0\0\0IEND\xae\x42\x60\x82";
const std::string kPng(kPngBytes, sizeof kPngBytes - 1);

nlohmann::json Id3v2Of(const std::string& path) {
  const CliResult r = RunCli({"read-tag", "--json", path});
  return r.status == 0 ? nlohmann::json::parse(r.out)["id3v2"] : nlohmann::json();
}

class TagInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"eyeD3", "id3v2", "mid3v2"}) {
      if (!HasTool(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    WriteFile(dir / "cover.png", kPng);
  }
  // An untagged file given a tag by eyeD3 (2.3 or 2.4) with picture and track.
  std::string EyeD3File(const std::string& name, const char* version) {
    WriteFile(dir / name, MpegAudio());
    Output(std::string("eyeD3 ") + version +
           " -t Alt -a Wer -A Platte --recording-date 1999 -n 5 -c alt" + " --add-image " +
           Quote(dir / "cover.png") + ":FRONT_COVER " + Quote(dir / name));
    return dir / name;
  }
  TempFolder dir;
};

TEST_F(TagInterop, TagsOfOtherToolsReadRight) {
  const std::string v23 = EyeD3File("a.mp3", "--to-v2.3");
  const std::string v24 = EyeD3File("b.mp3", "--to-v2.4");
  WriteFile(dir / "c.mp3", MpegAudio());
  Output("id3v2 -2 -t 'Über' -a Wer -A Platte -y 1999 -T 3 -g 17 " + Quote(dir / "c.mp3"));
  struct Row {
    std::string path, version, title, track, genre;
  } rows[] = {{v23, "2.3", "Alt", "05", ""},
              {v24, "2.4", "Alt", "05", ""},
              {dir / "c.mp3", "2.3", "Über", "3", "Rock"}};
  for (const Row& row : rows) {
    const nlohmann::json tag = Id3v2Of(row.path),
                         expected = {{"version", row.version}, {"title", row.title},
                                     {"artist", "Wer"},        {"album", "Platte"},
                                     {"year", "1999"},         {"track", row.track},
                                     {"genre", row.genre}};
    ASSERT_TRUE(tag.is_object()) << row.path;
    for (const auto& [key, value] : expected.items()) EXPECT_EQ(tag[key], value) << row.path;
  }
}

// Umlauts, "ß", "€" and 45 characters reach all three readers whole; the
// picture, the track and the "aus" album survive. A tag created
// with --id3v2 always is a 2.4 tag in UTF-8 that the others read.
TEST_F(TagInterop, WhatWeWriteReadsRightElsewhere) {
  EyeD3File("a.mp3", "--to-v2.3");
  EyeD3File("b.mp3", "--to-v2.4");
  WriteFile(dir / "n.mp3", MpegAudio());
  const std::string title = "Größer als € – fünfundvierzig Zeichen, Straße";
  ASSERT_EQ(title.size(), 53u);  // 45 characters, six of them of two or three bytes
  ASSERT_TRUE(Succeeds(
      RunCli({"tag", "--pattern", "*.mp3", "--id3v2", "always", "--title", "=" + title, "--artist",
              "=Straße", "--comment", "=Grüße", "--year", "=2024", Bare(dir)})));
  for (const char* name : {"a.mp3", "b.mp3"}) {
    SCOPED_TRACE(name);
    const std::string path = Quote(dir / name);
    ExpectLines(Output("eyeD3 --no-color " + path),
                {"title: " + title, "artist: Straße", "album: Platte", "track: 5",
                 "FRONT_COVER Image", "Grüße", "recording date: 2024"});
    ExpectLines(Output("mid3v2 -l " + path), {"TIT2=" + title, "TPE1=Straße", "TALB=Platte",
                                              "TRCK=05", "COMM==eng=Grüße", "APIC="});
  }
  ExpectLines(Output("eyeD3 --no-color " + Quote(dir / "n.mp3")), {"title: " + title});
  ExpectLines(Output("mid3v2 -l " + Quote(dir / "n.mp3")), {"TIT2=" + title, "TDRC=2024"});
  EXPECT_EQ(Id3v2Of(dir / "n.mp3")["version"], "2.4");
  // id3lib reads 2.3 only.
  ExpectLines(Output("id3v2 -l " + Quote(dir / "a.mp3")),
              {"): " + title, "): Straße", "(Year): 2024", "APIC"});
}

}  // namespace
}  // namespace velmora
