// Operations 18 to 20 through the real program: "Name aus Tags" from ID3
// tags chained with numbering, a file without the field, and undo; regular
// expressions with groups and case changes, transliteration chained behind,
// and a pattern that reaches its limit. (A bad template or pattern: the
// usage table of run_commands_test.cpp.)
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

TEST(CliRegex, GroupsCaseChangesAndTransliterationByName) {
  TempFolder dir;
  for (const char* name : {"Titel - über uns.mp3", "straße - ärger.mp3", "y - x\xff.mp3"}) {
    WriteFile(dir / name, "x");
  }
  EXPECT_TRUE(
      Succeeds(RunCli({"rename", "--slot1", "regex", "--src1", "^(.+) - (\\w+)", "--dst1",
                       "\\U$2\\E - $1", "--slot2", "transliterate", "--yes-all", Bare(dir)})));
  EXPECT_EQ(Listing(dir.path()),
            (Names{"AERGER - strasse.mp3", "UEBER - Titel uns.mp3", "X - y\xff.mp3"}));
}

TEST(CliRegex, APatternAtItsLimitIsReportedOnceAndTheRunFails) {
  TempFolder dir;
  const std::string slow = std::string(40, 'a') + "b";
  for (const char* tail : {"1", "2", "3"}) WriteFile(dir / (slow + tail), "x");
  WriteFile(dir / "c.txt", "x");
  const CliResult r =
      RunCli({"rename", "--slot1", "regex", "--src1", "(a+)+\\d$", "--dst1", "x", "--slot2",
              "replace", "--src2", "c", "--dst2", "d", "--yes-all", Bare(dir)});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(Count(r.err, "(a+)+"), 1) << r.err;
  // On one line, the pattern escaped as names are.
  EXPECT_THAT(r.err, HasSubstr("velmora-cli: Grenze des regulären Ausdrucks erreicht: " +
                               dir / (slow + "1") + ", Muster (a+)+\\\\d$\n"));
  // The other slot goes on.
  EXPECT_EQ(Listing(dir.path()), (Names{slow + "1", slow + "2", slow + "3", "d.txt"}));
}

}  // namespace
}  // namespace velmora::testing
