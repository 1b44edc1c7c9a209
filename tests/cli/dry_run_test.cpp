// velmora-cli's --dry-run and --check over the plan: conflicts marked behind
// their step, nothing touched while a conflict stands.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Names = std::vector<std::string>;
using Args = std::vector<std::string>;

// The shift onto a later file is the plan's own test; here the marks and
// the summary as the command prints them.
TEST(CliPlan, DryRunMarksEachConflictBehindItsStep) {
  struct Row {
    const char* what;
    Names files;
    Args job;
    std::string out;  // with "D/" for the folder
    std::string summary;
  };
  const Row rows[] = {
      {"swap, not resolved",
       {"A - B.mp3", "B - A.mp3"},
       {"--slot1", "mirror", "--src1", " - ", "--no-resolve-chains"},
       "D/A - B.mp3 -> D/B - A.mp3  [Kette]\nD/B - A.mp3 -> D/A - B.mp3  [Kette]\n",
       "0 Änderungen, 2 Konflikte"},
      {"swap resolved",
       {"A - B.mp3", "B - A.mp3"},
       {"--slot1", "mirror", "--src1", " - "},
       "D/A - B.mp3 -> D/B - A.mp3\nD/B - A.mp3 -> D/A - B.mp3\n",
       "2 Änderungen, 0 Konflikte"},
      {"two end at one name, one meets an unlisted file",
       {"x-.mp3", "x-1.txt", "x-2.txt"},
       {"--pattern", "*.txt", "--slot1", "delete-count-at", "--src1", "1", "--dst1", "3", "--slot2",
        "replace", "--src2", ".txt", "--dst2", ".mp3"},
       "D/x-1.txt -> D/x-.txt\nD/x-.txt -> D/x-.mp3  [existiert]\n"
       "D/x-2.txt -> D/x-.txt\nD/x-.txt -> D/x-.mp3  [doppelt]\n",
       "2 Änderungen, 2 Konflikte"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder dir;
    for (const std::string& name : row.files) WriteFile(dir / name, name);
    Args args = {"rename"};
    args.insert(args.end(), row.job.begin(), row.job.end());
    args.insert(args.end(), {"--dry-run", Bare(dir)});
    const CliResult r = RunCli(args);
    std::string expected = row.out;
    for (std::size_t at = expected.find("D/"); at != std::string::npos;
         at = expected.find("D/", at + dir.path().size())) {
      expected.replace(at, 2, dir.path());
    }
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_THAT(r.err, HasSubstr(row.summary));
    EXPECT_EQ(Listing(dir.path()), row.files);
  }
}

TEST(CliPlan, CheckStopsBeforeTouchingAnythingAndRunsWhenClean) {
  TempFolder dir;
  WriteFile(dir / "f1.txt", "one");
  WriteFile(dir / "f2.txt", "two");
  const Args shift = {"rename",    "--slot1", "replace",   "--src1",          "1",
                      "--dst1",    "2",       "--yes-all", "--overwrite-all", "--check",
                      "--journal", dir / "j", Bare(dir)};
  CliResult r = RunCli(shift);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_EQ(r.out, dir / "f1.txt -> " + dir / "f2.txt  [Kette]\n");
  EXPECT_EQ(Listing(dir.path()), (Names{"f1.txt", "f2.txt"}));  // no journal either
  EXPECT_EQ(ReadFile(dir / "f2.txt"), "two");

  r = RunCli({"rename", "--slot1", "replace", "--src1", "f", "--dst1", "g", "--yes-all", "--check",
              Bare(dir)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Listing(dir.path()), (Names{"g1.txt", "g2.txt"}));

  // A failure the run would report counts as a conflict too: here a new
  // name that would leave its folder.
  r = RunCli({"rename", "--slot1", "insert-at", "--src1", "sub/", "--dst1", "1", "--check",
              "--dry-run", Bare(dir)});
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_THAT(r.err, HasSubstr("Falscher Dateiname"));
}

// --check clears exactly what the run then does: "&Alle" numbers as "&Ja"
// would, and a step onto a file the run needs is refused, not obeyed.
TEST(CliPlan, YesAllRunsThePlanAndKeepsWhatTheRunNeeds) {
  TempFolder dir;
  for (const char* name : {"a-x.txt", "b.txt", "c-x.txt"}) WriteFile(dir / name, name);
  WriteFile(dir / "c-3x.txt", "precious");
  CliResult r = RunCli({"rename", "--pattern", "a-x.txt;b.txt;c-x.txt", "--slot1", "10", "--src1",
                        "1", "--dst1", "-", "--check", "--yes-all", "--overwrite-all", Bare(dir)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Listing(dir.path()), (Names{"a-1x.txt", "b.txt", "c-2x.txt", "c-3x.txt"}));
  EXPECT_EQ(ReadFile(dir / "c-3x.txt"), "precious");

  TempFolder two;
  WriteFile(two / "a1.txt", "one");
  WriteFile(two / "a2.txt", "two");
  r = RunCli({"rename", "--slot1", "delete-count-at", "--src1", "1", "--dst1", "2", "--yes-all",
              "--overwrite-all", Bare(two)});
  EXPECT_NE(r.status, 0);
  EXPECT_THAT(r.err, HasSubstr("Muster enger fassen"));
  EXPECT_EQ(Listing(two.path()), (Names{"a.txt", "a2.txt"}));
}

}  // namespace
}  // namespace velmora
