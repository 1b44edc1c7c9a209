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

// In nanoseconds.
long long Modified(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
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
      {"ID3v1 record overwritten", Audio(300) + Bytes(Record("Old")), "never"},
      {"ID3v2 tag created", Audio(300), "always"},
      {"ID3v2 tag rewritten, no room", small + Audio(300) + Bytes(Record("Old")), "auto"},
      {"ID3v2 tag in place", Id3v2Bytes(4, "", 4096) + Audio(300), "auto"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempFolder folder;
    const std::string name = "Artist - A long title for the tag.mp3", file = folder / name;
    const std::string journal = folder / "journal";
    WriteFile(file, c.bytes);
    SetModified(file, 1500000000);
    const CliResult tag = RunCli({"tag", "--separator", " - ", "--artist", "1", "--title", "2",
                                  "--id3v2", c.id3v2, "--journal", journal, folder.path()});
    ASSERT_EQ(tag.status, 0) << tag.err;
    ASSERT_NE(ReadFile(file), c.bytes);

    const CliResult undo = RunCli({"undo", "--journal", journal, "--yes-all"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(ReadFile(file), c.bytes);  // byte for byte, length included
    EXPECT_EQ(Modified(file), 1500000000123456789LL);
    // The step and its side file are gone.
    EXPECT_EQ(Listing(folder.path()), (Names{name, "journal", "journal.lock"}));
  }
}

// Grown, or touched with the same bytes: the file stays as it is now.
TEST(CliTagUndo, RefusesAFileChangedSinceTheWrite) {
  for (const bool grown : {true, false}) {
    const TempFolder folder;
    const std::string file = folder / "Artist - Title.mp3", journal = folder / "journal";
    WriteFile(file, Audio(300));
    ASSERT_EQ(RunCli({"tag", "--title", "=T", "--journal", journal, folder.path()}).status, 0);
    grown ? WriteFile(file, ReadFile(file) + "edited") : SetModified(file, 1600000000);
    const std::string changed = ReadFile(file);
    const CliResult undo = RunCli({"undo", "--journal", journal, "--yes-all"});
    EXPECT_NE(undo.status, 0) << grown;
    EXPECT_THAT(undo.err,
                AllOf(HasSubstr("Datei seit dem Lauf geändert"), HasSubstr("1 Schritt bleibt")));
    EXPECT_EQ(ReadFile(file), changed) << grown;
  }
}

}  // namespace
}  // namespace velmora
