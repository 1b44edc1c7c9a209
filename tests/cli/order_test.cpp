// velmora-cli's --order and --reverse, and the counter's --number-step and
// --restart-per-folder: numbering follows the list order.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// Name, size and time disagree, so each order numbers the files differently.
TEST(CliOrder, EachOrderNumbersTheFilesInTurn) {
  struct Row {
    Names order;
    Names after;
  };
  const Row rows[] = {
      {{}, {"_1t10.txt", "_2t2.txt", "_3T3.txt"}},
      {{"--order", "name", "--reverse"}, {"_1T3.txt", "_2t2.txt", "_3t10.txt"}},
      {{"--order", "natural"}, {"_1t2.txt", "_2T3.txt", "_3t10.txt"}},
      {{"--order", "modified"}, {"_1T3.txt", "_2t10.txt", "_3t2.txt"}},
      {{"--order", "size", "--reverse"}, {"_1t2.txt", "_2t10.txt", "_3T3.txt"}},
  };
  const struct {
    const char* name;
    const char* content;
    long long modified;
  } files[] = {{"_t10.txt", "1234", 2000000000},
               {"_t2.txt", "123456", 2000000500},
               {"_T3.txt", "12", 1000000000}};
  for (const Row& row : rows) {
    TempFolder dir, state;
    for (const auto& file : files) {
      WriteFile(dir / file.name, file.content);
      ASSERT_TRUE(SetModified(dir / file.name, file.modified));
    }
    EXPECT_TRUE(Succeeds(RunCli(Plus(Plus({"rename", "--slot1", "number-after", "--src1", "1",
                                           "--dst1", "_", "--yes-all", "--journal", state / "j"},
                                          row.order),
                                     {Bare(dir)}))));
    EXPECT_EQ(Listing(dir.path()), row.after) << (row.order.empty() ? "default" : row.order[1]);
  }
}

TEST(CliOrder, SearchListsInTheChosenOrder) {
  TempFolder dir;
  WriteFiles(dir.path(), {"Titel 10", "Titel 2", "titel 1"});
  const CliResult r = RunCli({"search", "--order", "natural", "--reverse", Bare(dir)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir / "Titel 10\n" + dir / "Titel 2\n" + dir / "titel 1\n");
  EXPECT_EQ(RunCli({"search", "--order", "random", Bare(dir)}).status, 2);
}

// Another order sorts the list of several folders as one; the default keeps
// the folders in turn.
TEST(CliOrder, SeveralFoldersFollowTheOrderAsOneList) {
  TempFolder dir;
  WriteFile(dir / "a/big.txt", "123456");
  WriteFile(dir / "a/small.txt", "1");
  WriteFile(dir / "b/mid.txt", "123");
  const std::string a = dir / "a/", b = dir / "b/";
  struct Row {
    Names order;
    std::string out;
  };
  const Row rows[] = {
      {{}, a + "big.txt\n" + a + "small.txt\n" + b + "mid.txt\n"},
      {{"--order", "size"}, a + "small.txt\n" + b + "mid.txt\n" + a + "big.txt\n"},
      {{"--reverse"}, b + "mid.txt\n" + a + "small.txt\n" + a + "big.txt\n"},
  };
  for (const Row& row : rows) {
    Names args = {"search"};
    args.insert(args.end(), row.order.begin(), row.order.end());
    args.insert(args.end(), {dir / "a", dir / "b"});
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, row.out) << (row.order.empty() ? "default" : row.order[0]);
  }
  // The numbering follows the whole list.
  EXPECT_TRUE(Succeeds(
      RunCli({"rename", "--slot1", "number-before", "--src1", "1", "--dst1", ".txt", "--order",
              "size", "--yes-all", "--journal", dir / "journal", dir / "a", dir / "b"})));
  EXPECT_EQ(Listing(dir / "a"), (Names{"big3.txt", "small1.txt"}));
  EXPECT_EQ(Listing(dir / "b"), Names{"mid2.txt"});
}

TEST(CliCounter, StepAndRestartPerFolder) {
  struct Row {
    Names options;
    Names top, sub;
  };
  const Row rows[] = {
      {{"--number-step", "5"}, {"a1.txt", "b6.txt", "s"}, {"c11.txt"}},
      {{"--number-step", "5", "--restart-per-folder"}, {"a1.txt", "b6.txt", "s"}, {"c1.txt"}},
      {{"--number-step", "0"}, {"a.txt", "b.txt", "s"}, {"c.txt"}},
  };
  for (const Row& row : rows) {
    TempFolder dir, state;
    WriteFiles(dir.path(), {"a.txt", "b.txt", "s/c.txt"});
    const CliResult r =
        RunCli(Plus(Plus({"rename", "--slot1", "number-before", "--src1", "1", "--dst1", ".txt",
                          "--subdirs", "--yes-all", "--journal", state / "j"},
                         row.options),
                    {Bare(dir)}));
    if (row.options[1] == "0") {
      EXPECT_EQ(r.status, 2);
      EXPECT_THAT(r.err, HasSubstr("Falsche oder fehlende Eingabe"));
    } else {
      EXPECT_EQ(r.status, 0) << r.err;
    }
    EXPECT_EQ(Listing(dir.path()), row.top) << row.options.size();
    EXPECT_EQ(Listing(dir / "s"), row.sub) << row.options.size();
  }
}

}  // namespace
}  // namespace velmora
