// What velmora-cli prints about names: each on one line, whatever it holds,
// and a clear word when a new name meets a folder.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Names = std::vector<std::string>;

TEST(CliNames, PrintedOnOneLineEscapedAsInTheJournal) {
  TempFolder dir;
  for (const char* name : {"a\tb.txt", "c\nd.txt", "e\\f.txt"}) WriteFile(dir / name, name);
  const std::string expected = dir / "a\\tb.txt -> " + dir / "A\\tB.TXT\n" + dir / "c\\nd.txt -> " +
                               dir / "C\\nD.TXT\n" + dir / "e\\\\f.txt -> " + dir / "E\\\\F.TXT\n";

  const CliResult search = RunCli({"search", Bare(dir)});
  EXPECT_EQ(search.out, dir / "a\\tb.txt\n" + dir / "c\\nd.txt\n" + dir / "e\\\\f.txt\n");
  const CliResult preview = RunCli({"rename", "--slot1", "upper", "--dry-run", Bare(dir)});
  EXPECT_EQ(preview.out, expected);
  const CliResult run = RunCli({"rename", "--slot1", "upper", "--yes-all", Bare(dir)});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(Listing(dir.path()), (Names{"A\tB.TXT", "C\nD.TXT", "E\\F.TXT"}));
}

// Even with --overwrite-all a folder is no file to delete: the step fails
// with its own message, and the file stays.
TEST(CliNames, ANewNameThatIsAFolderFailsClearly) {
  TempFolder dir;
  WriteFile(dir / "k\nx.txt", "k");
  std::filesystem::create_directory(dir / "sub");
  const CliResult run = RunCli({"rename", "--slot1", "replace", "--src1", "k\nx.txt", "--dst1",
                                "sub", "--yes-all", "--overwrite-all", Bare(dir)});
  EXPECT_NE(run.status, 0);
  EXPECT_THAT(run.err, ::testing::Not(HasSubstr("Fehler beim Löschen")));
  EXPECT_THAT(run.err, HasSubstr("Is a directory"));
  EXPECT_THAT(run.err, HasSubstr(dir / "k\\nx.txt"));
  EXPECT_EQ(ReadFile(dir / "k\nx.txt"), "k");
  EXPECT_TRUE(std::filesystem::is_empty(dir / "sub"));
}

}  // namespace
}  // namespace velmora
