// Saved jobs on the command line: --save-job writes what the options
// describe without running, --job runs it, and options beside it win.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Args = std::vector<std::string>;

TEST(CliJob, SavedRunAndOverridden) {
  TempFolder dir;
  WriteFiles(dir.path(), {"in/a b.txt", "in/s/c b.txt"});
  const std::string job = dir / "job.ini";
  // No folder needed, nothing run.
  const Args slots = {"rename",  "--slot1",       "replace", "--src1", " b",     "--dst1", "=x\\",
                      "--slot2", "number-before", "--src2",  "1",      "--dst2", ".txt"};
  const CliResult saved =
      RunCli(Plus(slots, {"--number-step", "5", "--subdirs", "--order", "natural",
                          "--no-resolve-chains", "--save-job", job}));
  EXPECT_EQ(saved.status, 0) << saved.err;
  const std::string text = ReadFile(job);
  for (const char* line :
       {"Version=1", "Subdirs=1", "Order=natural", "NumberStep=5", "ResolveChains=0",
        "Operation=replace", "First= b", "Second==x\\\\", "Operation=number-before"}) {
    EXPECT_THAT(text, HasSubstr(std::string("\n") + line + "\n")) << line;
  }
  EXPECT_EQ(Listing(dir / "in"), (Names{"a b.txt", "s"}));

  // Run as saved, but without sub-folders and with step 2.
  EXPECT_TRUE(Succeeds(RunCli({"rename", "--job", job, "--no-subdirs", "--number-step=2",
                               "--yes-all", "--journal", dir / "journal", dir / "in"})));
  EXPECT_EQ(Listing(dir / "in"), (Names{"a=x\\1.txt", "s"}));
  EXPECT_EQ(Listing(dir / "in/s"), (Names{"c b.txt"}));

  WriteFile(job, "[Job]\nVersion=1\n[Slot1]\nOperation=shred\n");
  const CliResult unknown = RunCli({"rename", "--job", job, "--yes-all", dir / "in"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, HasSubstr("Unbekannte Operation im Auftrag: shred"));
  WriteFile(job, "[Job]\nVersion=9\n");
  EXPECT_EQ(RunCli({"rename", "--job", job, "--yes-all", dir / "in"}).status, 2);
}

}  // namespace
}  // namespace velmora
