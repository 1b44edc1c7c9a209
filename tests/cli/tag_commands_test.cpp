// velmora-cli's tag and read-tag on temporary MP3 stand-ins, and tag writes
// taken back through undo: every kind of file ends byte for byte and to the
// nanosecond as before the write (a file changed since: the journal's
// refused-steps test). Damaged ID3v2 tags never cost an audio byte. A signal
// while a tag write copies a large file into a new one: the new file goes,
// the original stays as it was.
#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>
#include <random>
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
  // "off" is the stored value like "aus"; "=off" is a fixed text.
  const CliResult off =
      RunCli({"tag", "-n", "--title", "off", "--artist", "=off", "--genre", "off", Bare(dir)});
  EXPECT_EQ(off.out, plain + "\n  ID3v1 Interpret: \"\" -> \"off\"\n" + tagged +
                         "\n  ID3v1 Interpret: \"Band\" -> \"off\"\n");
  EXPECT_EQ(ReadFile(tagged), taggedBytes);
  EXPECT_EQ(ReadFile(plain), kAudio);
  EXPECT_EQ(Listing(dir.path()), (Names{"Artist - Title.mp3", "Band - Song.mp3"}));
}

TEST(CliTagUndo, RestoresTheOldBytesAndTime) {
  const std::string small = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("x")), 0);
  const struct Case {
    const char* name;
    std::string bytes;
    const char* id3v2;
    long long seconds = 1500000000;  // of the file's time; nanoseconds 123456789
  } cases[] = {
      {"untagged, record appended", Audio(300), "never"},
      {"ID3v1 record overwritten", Audio(300) + Bytes(Record("Old")), "never"},
      {"ID3v2 tag created", Audio(300), "always"},
      {"ID3v2 tag rewritten, no room", small + Audio(300) + Bytes(Record("Old")), "auto"},
      {"ID3v2 tag in place", Id3v2Bytes(4, "", 4096) + Audio(300), "auto"},
      {"a time before 1970", Audio(300), "never", -31536000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempFolder folder;
    const std::string name = "Artist - A long title for the tag.mp3", file = folder / name;
    const std::string journal = folder / "journal";
    WriteFile(file, c.bytes);
    SetModified(file, c.seconds, 123456789);
    ASSERT_TRUE(Succeeds(RunCli({"tag", "--separator", " - ", "--artist", "1", "--title", "2",
                                 "--id3v2", c.id3v2, "--journal", journal, folder.path()})));
    ASSERT_NE(ReadFile(file), c.bytes);

    EXPECT_TRUE(Succeeds(Undo(journal)));
    EXPECT_EQ(ReadFile(file), c.bytes);  // byte for byte, length included
    EXPECT_EQ(Modified(file), c.seconds * 1000000000 + 123456789);
    // The step and its side file are gone.
    EXPECT_EQ(Listing(folder.path()), (Names{name, "journal", "journal.lock"}));
  }
}

// Killed right after a write, before its done record, with the intents of
// files not yet written in the journal ahead of them: undo gives every file
// back byte for byte and to the nanosecond, none of them refused.
TEST(CliTagUndo, UndoAfterAKillRestoresEveryFile) {
  VELMORA_NEEDS_TEST_HOOKS();
  for (const int kill : {1, 70}) {
    SCOPED_TRACE(kill);
    const TempFolder folder, state;
    std::vector<std::string> files;
    for (int i = 0; i < 100; ++i) {
      files.push_back(folder / ("A" + std::to_string(i) + " - T.mp3"));
      WriteFile(files.back(), Audio(300 + i) + (i % 2 == 0 ? Bytes(Record("Alt")) : ""));
      SetModified(files.back(), 1500000000, 123456789);
    }
    const CliResult tag = RunCli({"tag", "--separator", " - ", "--artist", "1", "--title", "2",
                                  "--journal", state / "j", folder.path()},
                                 {"VELMORA_TEST_KILL_AFTER=" + std::to_string(kill)});
    EXPECT_EQ(tag.status, -1);
    EXPECT_GT(Count(ReadFile(state / "j"), "\nI\t"), kill);  // written ahead
    EXPECT_TRUE(Succeeds(Undo(state / "j")));
    for (int i = 0; i < 100; ++i) {
      const std::string& file = files[static_cast<std::size_t>(i)];
      EXPECT_EQ(ReadFile(file), Audio(300 + i) + (i % 2 == 0 ? Bytes(Record("Alt")) : "")) << i;
      EXPECT_EQ(Modified(file), 1500000000123456789LL) << i;
    }
  }
}

// Random bytes that a player takes for MPEG frames.
std::string RandomAudio(std::mt19937& random, std::size_t n) {
  std::string bytes = "\xFF\xFB";
  while (bytes.size() < n) bytes += static_cast<char>(random() % 256);
  return bytes;
}

// A file whose ID3v2 tag is sound or damaged in one of the ways found in the
// wild (kind 0..6); audio is what follows the tag, an ID3v1 record aside.
std::string TaggedFile(std::mt19937& random, int kind, std::string& audio) {
  auto pick = [&](int low, int high) {
    return low + static_cast<int>(random() % (high - low + 1));
  };
  const int major = pick(3, 4);
  const std::string frames =
      Id3v2Frame(major, "TIT2", Latin1Body("Alt")) +
      Id3v2Frame(major, "COMM", std::string("\0eng\0", 5) + std::string(150, 'c'));
  const std::size_t padding = static_cast<std::size_t>(pick(0, 64));
  std::string tag = Id3v2Bytes(major, frames, padding);
  audio = RandomAudio(random, static_cast<std::size_t>(pick(200, 1500)));
  const std::string record = pick(0, 1) == 1 ? Bytes(Record("Alt")) : "";
  switch (kind) {
    case 1:  // the declared size runs into the audio
      tag.replace(6, 4, SyncSafe(frames.size() + padding + static_cast<std::size_t>(pick(1, 180))));
      break;
    case 2:  // a footer flag without a footer
      tag[3] = 4, tag[5] = static_cast<char>(tag[5] | 0x10);
      break;
    case 3:  // two tags back to back
      tag += Id3v2Bytes(major, Id3v2Frame(major, "TALB", Latin1Body("Zwei")), padding);
      break;
    case 4:  // a size byte with the high bit set
      tag[6 + static_cast<std::size_t>(pick(0, 3))] |= static_cast<char>(0x80);
      break;
    case 5:  // the file ends inside the tag
      tag.resize(static_cast<std::size_t>(pick(130, static_cast<int>(tag.size()) - 1)));
      audio.clear();
      return tag;
    case 6:  // any header byte after the marker
      tag[static_cast<std::size_t>(pick(3, 9))] = static_cast<char>(random() % 256);
      break;
    default:
      break;
  }
  return tag + audio + record;
}

// Tag and undo over 300 such files: each tagged file still holds its audio
// unbroken, each refused one is named and unchanged, and undo gives every
// file back byte for byte.
TEST(CliTagUndo, DamagedId3v2TagsNeverCostAudioAndUndoIsExact) {
  const TempFolder folder;
  const std::string dir = folder / "music", journal = folder / "journal";
  ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
  std::mt19937 random(22);
  std::vector<std::string> originals, audios;
  for (int i = 0; i < 300; ++i) {
    std::string audio;
    originals.push_back(TaggedFile(random, i % 7, audio));
    audios.push_back(audio);
    WriteFile(dir + "/" + std::to_string(i) + ".mp3", originals.back());
  }
  const CliResult tag = RunCli({"tag", "--title", "=Neu", "--artist", "=Jemand", "--id3v2",
                                "always", "--journal", journal, dir});
  int written = 0, refused = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string path = dir + "/" + std::to_string(i) + ".mp3", now = ReadFile(path);
    SCOPED_TRACE(path);
    if (now == originals[i]) {
      ++refused;
      EXPECT_THAT(tag.err, HasSubstr(path));
    } else {
      ++written;
      EXPECT_NE(now.find(audios[i]), std::string::npos);
    }
  }
  EXPECT_THAT(tag.err, HasSubstr("ID3v2-Tag beschädigt, nicht geschrieben"));
  // The sound tags (one in seven) and some of the changed header bytes.
  EXPECT_GT(written, 40);
  EXPECT_GT(refused, 200);
  EXPECT_TRUE(Succeeds(Undo(journal)));
  for (int i = 0; i < 300; ++i) {
    EXPECT_TRUE(ReadFile(dir + "/" + std::to_string(i) + ".mp3") == originals[i]) << i;
  }
}

constexpr off_t kLargeSize = 1LL << 30;  // sparse: only its two ends hold data

TEST(CliTagRewrite, SignalDuringARewriteLeavesNoTemporary) {
  VELMORA_NEEDS_TEST_HOOKS();
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    const TempFolder folder, state;
    const std::string file = folder / "a.mp3";
    const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 0);
    WriteFile(file, head + Audio(4000));
    ASSERT_EQ(::truncate(file.c_str(), kLargeSize), 0);
    const ScopedEnv at("VELMORA_TEST_SIGNAL_AT", ("rewrite:" + std::to_string(sig)).c_str());
    const CliResult r = RunCli({"tag", "--title", "=" + std::string(300, 'x'), "--journal",
                                state / "journal", folder.path()});
    EXPECT_EQ(r.status, -1) << r.err;
    EXPECT_EQ(Listing(folder.path()), Names{"a.mp3"});
    EXPECT_EQ(StatOf(file).st_size, kLargeSize);
    std::string start(head.size() + 4000, '\0');
    std::ifstream(file, std::ios::binary).read(start.data(), std::streamsize(start.size()));
    EXPECT_EQ(start, head + Audio(4000));
  }
}

// A rewrite gives the file a new inode, and so does its undo: the rename
// before it is still taken back, the file known by its new inode.
TEST(CliTagRewrite, RenameBeforeARewriteIsStillTakenBack) {
  const TempFolder folder, state;
  const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 0);
  WriteFile(folder / "a.mp3", head + Audio(4000));
  const std::string journal = state / "journal";
  ASSERT_TRUE(Succeeds(Upper(journal, folder.path())));
  ASSERT_TRUE(Succeeds(RunCli(
      {"tag", "--title", "=" + std::string(300, 'x'), "--journal", journal, folder.path()})));
  EXPECT_TRUE(UndoRestores(journal, folder.path(), {"a.mp3"}));
  EXPECT_EQ(ReadFile(folder / "a.mp3"), head + Audio(4000));
}

}  // namespace
}  // namespace velmora
