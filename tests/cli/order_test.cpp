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

// Several folders are one list: in the order given, each file once, and
// sorted by path with letter case ignored; another order sorts them as one
// list. One run over them, numbered along the whole list, that one undo
// takes back.
TEST(CliOrder, SeveralFoldersAreOneList) {
  TempFolder dir;
  WriteFile(dir / "a/big.txt", "123456");
  WriteFile(dir / "a/Small.txt", "1");
  WriteFiles(dir / "a/", {"c.mp3", "z/t.txt"});
  WriteFile(dir / "b/mid.txt", "123");
  const std::string a = dir / "a", b = dir / "b";
  struct Row {
    Names args;       // after "search -p *.txt"
    std::string out;  // with "D/" for dir
  };
  const Row rows[] = {
      {{a, b}, "D/a/big.txt\nD/a/Small.txt\nD/b/mid.txt\n"},
      {{"-s", b, a, a + "/z"}, "D/b/mid.txt\nD/a/big.txt\nD/a/Small.txt\nD/a/z/t.txt\n"},
      {{"--order", "size", a, b}, "D/a/Small.txt\nD/b/mid.txt\nD/a/big.txt\n"},
      {{"--reverse", a, b}, "D/b/mid.txt\nD/a/Small.txt\nD/a/big.txt\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0]);
    const CliResult r = RunCli(Plus({"search", "-p", "*.txt"}, row.args));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, InFolder(row.out, dir));
  }
  EXPECT_EQ(RunCli({"search", a, dir / "missing"}).status, 2);

  const std::string journal = dir / "journal";
  EXPECT_TRUE(
      Succeeds(RunCli({"rename", "-p", "*.txt", "--slot1", "number-before", "--src1", "1", "--dst1",
                       ".txt", "--order", "size", "--yes-all", "--journal", journal, a, b})));
  EXPECT_EQ(Listing(a), (Names{"Small1.txt", "big3.txt", "c.mp3", "z"}));
  EXPECT_EQ(Listing(b), Names{"mid2.txt"});
  EXPECT_TRUE(UndoRestores(journal, a, {"Small.txt", "big.txt", "c.mp3", "z"}));
  EXPECT_EQ(Listing(b), Names{"mid.txt"});
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
