// "Name aus Tags" through the real program: names from ID3 tags chained
// with numbering, a file without the field, and undo (a bad template: the
// usage table of run_commands_test.cpp).
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"
#include "tests/support/shell_tools.h"

namespace velmora::testing {
namespace {

void Mp3(const TempFolder& dir, const std::string& name, const std::string& id3v2Args) {
  WriteFile(dir / name, std::string(3000, '\x55'));
  if (!id3v2Args.empty()) {
    ASSERT_TRUE(Shell("id3v2 -2 " + id3v2Args + " '" + (dir / name) + "'"));
  }
}

TEST(CliFromTags, NamesChainWithNumberingAndUndoRestoresThem) {
  if (!Shell("command -v id3v2"))
    GTEST_SKIP() << "id3v2 is not installed (scripts/install-deps.sh)";
  TempFolder dir, state;
  Mp3(dir, "a.mp3", "-a AC/DC -t One");
  Mp3(dir, "b.mp3", "");
  Mp3(dir, "c.mp3", "-a Abba -t Two");
  const std::string bytes = ReadFile(dir / "a.mp3");
  const std::string journal = state / "j";
  // b.mp3 has no artist: its name stays, and the numbering slot, finding no
  // "#", gives its number to c.
  const CliResult run =
      RunCli({"rename", "--slot1", "from-tags", "--src1", "{artist} - {Titel}#", "--slot2",
              "number-after", "--src2", "1", "--dst2", "#", "--yes-all", "--journal", journal,
              "--pattern", "*.mp3", Bare(dir)});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_THAT(run.err, HasSubstr("Feld fehlt in der Datei"));
  EXPECT_EQ(Listing(dir.path()), (Names{"AC_DC - One#1.mp3", "Abba - Two#2.mp3", "b.mp3"}));
  EXPECT_TRUE(ReadFile(dir / "AC_DC - One#1.mp3") == bytes);

  EXPECT_TRUE(UndoRestores(journal, dir.path(), {"a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_TRUE(ReadFile(dir / "a.mp3") == bytes);
}

TEST(CliFromTags, CopyAndMoveTakeTheNameToo) {
  if (!Shell("command -v id3v2"))
    GTEST_SKIP() << "id3v2 is not installed (scripts/install-deps.sh)";
  for (const char* command : {"copy", "move"}) {
    SCOPED_TRACE(command);
    TempFolder dir, dest;
    Mp3(dir, "a.mp3", "-t 'Größe' -T 3");
    EXPECT_TRUE(Succeeds(RunCli({command, "--slot1", "from-tags", "--src1", "{Nr:2} {title}",
                                 "--dest", Bare(dest), "--yes-all", Bare(dir)})));
    EXPECT_EQ(Listing(dest.path()), Names{"03 Größe.mp3"});
    EXPECT_EQ(Listing(dir.path()), std::string(command) == "copy" ? Names{"a.mp3"} : Names{});
  }
}

}  // namespace
}  // namespace velmora::testing
