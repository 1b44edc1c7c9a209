// Tag writes taken back through velmora-cli undo: every kind of file ends
// byte for byte and to the nanosecond as before the write, and a file
// changed since is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tags/tag_test_support.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

std::string Record(const std::string& title) {
  std::string record = "TAG" + title;
  record.resize(127, ' ');
  return record + '\x11';
}

timespec Modified(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mtim;
}

void SetModified(const std::string& path, long long seconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 123456789}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST(CliTagUndo, RestoresTheOldBytesAndTime) {
  const std::string small = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("x")), 0);
  const struct Case {
    const char* name;
    std::string bytes;
    const char* id3v2;
  } cases[] = {
      {"untagged, record appended", Audio(300), "never"},
      {"ID3v1 record overwritten", Audio(300) + Record("Old"), "never"},
      {"ID3v2 tag created", Audio(300), "always"},
      {"ID3v2 tag rewritten, no room", small + Audio(300) + Record("Old"), "auto"},
      {"ID3v2 tag in place", Id3v2Bytes(4, "", 4096) + Audio(300), "auto"},
  };
  for (const Case& c : cases) {
    const TempFolder folder;
    const std::string file = folder / "Artist - A long title for the tag.mp3";
    const std::string journal = folder / "journal";
    WriteFile(file, c.bytes);
    SetModified(file, 1500000000);
    const CliResult tag = RunCli({"tag", "--separator", " - ", "--artist", "1", "--title", "2",
                                  "--id3v2", c.id3v2, "--journal", journal, folder.path()});
    ASSERT_EQ(tag.status, 0) << c.name << tag.err;
    ASSERT_NE(ReadFile(file), c.bytes) << c.name;

    const CliResult undo = RunCli({"undo", "--journal", journal, "--yes-all"});
    EXPECT_EQ(undo.status, 0) << c.name << undo.err;
    EXPECT_EQ(ReadFile(file), c.bytes) << c.name;  // byte for byte, length included
    EXPECT_EQ(Modified(file).tv_sec, 1500000000) << c.name;
    EXPECT_EQ(Modified(file).tv_nsec, 123456789) << c.name;
    // The step and its side file are gone.
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename();
      EXPECT_TRUE(name == "journal" || name == "journal.lock" || name.ends_with(".mp3"))
          << c.name << ": " << name;
    }
  }
}

TEST(CliTagUndo, RefusesAFileChangedSinceTheWrite) {
  for (const bool grown : {true, false}) {
    const TempFolder folder;
    const std::string file = folder / "Artist - Title.mp3";
    const std::string journal = folder / "journal";
    WriteFile(file, Audio(300));
    ASSERT_EQ(RunCli({"tag", "--separator", " - ", "--title", "2", "--id3v2", "never", "--journal",
                      journal, folder.path()})
                  .status,
              0);
    if (grown) {
      WriteFile(file, ReadFile(file) + "edited");
    } else {
      SetModified(file, 1600000000);  // same bytes, touched
    }
    const std::string changed = ReadFile(file);
    const CliResult undo = RunCli({"undo", "--journal", journal, "--yes-all"});
    EXPECT_NE(undo.status, 0) << grown;
    EXPECT_THAT(undo.err, HasSubstr("Datei seit dem Lauf geändert"));
    EXPECT_EQ(ReadFile(file), changed) << grown;
    EXPECT_THAT(undo.err, HasSubstr("1 Schritt bleibt"));
  }
}

}  // namespace
}  // namespace velmora
