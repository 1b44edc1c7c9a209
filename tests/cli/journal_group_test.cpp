// Group commit through velmora-cli: a run killed anywhere, its intents
// written ahead of their steps, chains and cycles included, is undone to the
// last byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

Names Numbered(const char* format, int count) {
  Names names;
  for (int i = 0; i < count; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, format, i);
    names.push_back(name);
  }
  return names;
}

// Killed right after a random operation, before its done record: the
// journal holds the intents of steps not yet begun, and undo still brings
// every file back to its name, contents compared.
TEST(CliJournalGroup, UndoAfterAKillAnywhereRestoresEveryFile) {
  VELMORA_NEEDS_TEST_HOOKS();
  Names cycles = Numbered("x%02d - y.mp3", 24);
  for (const char* name : {"A - B.mp3", "B - A.mp3", "K - L - M", "L - M - K", "M - K - L"}) {
    cycles.push_back(name);
  }
  const struct Row {
    const char* what;
    Names files;
    std::vector<std::string> job;
    int operations;
  } rows[] = {
      {"one slot", Numbered("file%02d.txt", 40), {"--slot1", "upper"}, 40},
      {"two slots",
       Numbered("g%02d.txt", 30),
       {"--slot1", "upper", "--slot2", "insert-before", "--src2=-x", "--dst2", ".TXT"},
       60},
      {"cycles", cycles, {"--slot1", "mirror", "--src1", " - "}, 26},
  };
  std::mt19937 random(22);
  for (const Row& row : rows) {
    std::uniform_int_distribution<int> point(1, row.operations);
    for (int kill : {1, point(random), point(random), point(random)}) {
      SCOPED_TRACE(std::string(row.what) + " killed after " + std::to_string(kill));
      TempFolder dir, state;
      WriteFiles(dir.path(), row.files);
      Names original = row.files;
      std::sort(original.begin(), original.end());
      std::vector<std::string> args = {"rename", "--yes-all", "--journal", state / "j", Bare(dir)};
      args.insert(args.begin() + 1, row.job.begin(), row.job.end());
      EXPECT_EQ(RunCli(args, {"VELMORA_TEST_KILL_AFTER=" + std::to_string(kill)}).status, -1);
      if (row.what[0] == 'o') {
        EXPECT_GT(Count(ReadFile(state / "j"), "\nI\t"), kill);  // written ahead
      }
      const CliResult undo = RunCli({"undo", "--journal", state / "j", "--yes-all"});
      EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
      EXPECT_EQ(Listing(dir.path()), original);
      for (const std::string& name : row.files) EXPECT_EQ(ReadFile(dir / name), name);
    }
  }
}

}  // namespace
}  // namespace velmora
