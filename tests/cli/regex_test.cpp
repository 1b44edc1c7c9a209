// Operations 19 and 20 through the real program: groups and case changes,
// transliteration chained behind, and a pattern that reaches its limit (a
// refused pattern: the usage table of run_commands_test.cpp).
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora::testing {
namespace {

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
