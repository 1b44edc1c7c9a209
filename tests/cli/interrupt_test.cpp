// velmora-cli stopped by signals mid-copy and between the two moves of a
// rename through a temporary name, and files that are not what they seem:
// links and FIFOs given to tag and read-tag. The signals come at fixed
// points through VELMORA_TEST_SIGNAL_AT.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

constexpr off_t kBigSize = 64 << 20;  // several kernel copy chunks

// Signals while the bytes are copied: SIGTERM and SIGKILL never leave a
// file under the final name, and after SIGTERM no partial file either. The
// first Ctrl+C lets the copy in progress finish and starts no other; a
// second one stops at once and removes the partial file.
TEST(CliInterrupt, SignalMidCopyLeavesNoFileUnderTheFinalName) {
  VELMORA_NEEDS_TEST_HOOKS();
  struct Row {
    std::string signals;
    Names copied;
    bool partialLeft;  // SIGKILL leaves no chance to clean up
  };
  const Row rows[] = {{"copy:" + std::to_string(SIGTERM), {}, false},
                      {"copy:" + std::to_string(SIGKILL), {}, true},
                      {"copy:2", {"A.BIN"}, false},
                      {"copy:2,2", {}, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.signals);
    TempFolder src, dest, state;  // a journal of its own: the run is cut short
    WriteFile(src / "a.bin", "start");
    ASSERT_EQ(::truncate((src / "a.bin").c_str(), kBigSize), 0);
    WriteFile(src / "b.bin", "b");
    ScopedEnv at("VELMORA_TEST_SIGNAL_AT", row.signals.c_str());
    const CliResult r = RunCli({"copy", "--slot1", "upper", "--dest", Bare(dest), "--yes-all",
                                "--journal", state / "j", Bare(src)});
    EXPECT_EQ(r.status, -1) << r.err;
    Names left = Listing(dest.path());
    std::erase_if(left, [&](const std::string& name) {
      return row.partialLeft && name.starts_with(".A.BIN.velmora-part-");
    });
    EXPECT_EQ(left, row.copied);
    for (const std::string& name : row.copied) EXPECT_EQ(StatOf(dest / name).st_size, kBigSize);
    EXPECT_EQ(StatOf(src / "a.bin").st_size, kBigSize);
  }
}

// Two names of one file: the rename of "a.txt" to "A.TXT" goes through a
// temporary name, where the signal finds it. SIGTERM puts the file back;
// after SIGKILL it waits under a visible name that a search lists, and undo
// puts it back.
TEST(CliInterrupt, SignalBetweenTheTwoMovesOfARename) {
  VELMORA_NEEDS_TEST_HOOKS();
  for (const int sig : {SIGTERM, SIGKILL}) {
    SCOPED_TRACE(sig);
    TempFolder dir, state;
    WriteFile(dir / "a.txt", "only copy");
    ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "A.TXT").c_str()), 0);
    const std::string journal = state / "j";
    const CliResult r =
        Upper(journal, Bare(dir), {"VELMORA_TEST_SIGNAL_AT=temporary:" + std::to_string(sig)});
    EXPECT_EQ(r.status, -1) << r.err;
    const Names left = Listing(dir.path());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0], "A.TXT");
    EXPECT_TRUE(sig == SIGTERM ? left[1] == "a.txt" : left[1].starts_with("a.txt.velmora-move-"))
        << left[1];
    EXPECT_EQ(ReadFile(dir / left[1]), "only copy");
    // Whatever the signal, the journal knows where the file is.
    EXPECT_TRUE(UndoRestores(journal, dir.path(), {"A.TXT", "a.txt"}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), "only copy");
  }
}

// A closed terminal (SIGHUP) after the first step of a two-slot job: with
// --yes-all the file's second slot, confirmed, still goes through; after a
// typed "j" the first step is taken back. Either way no file stays under its
// intermediate name (".t"), the run ends through SIGHUP, and a second run
// and undo bring every file back.
TEST(CliInterrupt, HangUpBetweenSlotsLeavesNoFileHalfRenamed) {
  VELMORA_NEEDS_TEST_HOOKS();
  const Names job = {"rename",  "--slot1",       "replace", "--src1", "7",      "--dst1=",
                     "--slot2", "insert-before", "--src2",  "n",      "--dst2", ".t"};
  struct Row {
    bool terminal;
    Names after;
  };
  for (const Row& row : {Row{false, {"8.t", "n.t"}}, Row{true, {"7.t", "8.t"}}}) {
    SCOPED_TRACE(row.terminal);
    TempFolder dir, state;
    WriteFile(dir / "7.t", "content 7");
    WriteFile(dir / "8.t", "content 8");
    const Names args = Plus(job, {"--journal", state / "j", Bare(dir)});
    const Names yesAll = Plus(job, {"--yes-all", "--journal", state / "j", Bare(dir)});
    const Names env = {"VELMORA_TEST_SIGNAL_AT=committed:" + std::to_string(SIGHUP)};
    const CliResult r = row.terminal ? RunCliOnTerminal(args, "j\n", env) : RunCli(yesAll, env);
    EXPECT_EQ(r.status, -1) << r.out << r.err;
    EXPECT_EQ(Listing(dir.path()), row.after);
    EXPECT_EQ(RunCli(yesAll).status, 0);
    EXPECT_TRUE(UndoRestores(state / "j", dir.path(), {"7.t", "8.t"}));
    EXPECT_EQ(ReadFile(dir / "7.t"), "content 7");
  }
}

// A run killed before its end record is named by the next run, with how to
// take it back or dismiss it; on a terminal the run asks first, with
// --yes-all it goes on. Once dismissed, no run names it again.
TEST(CliInterrupt, NextRunNamesAnInterruptedRun) {
  VELMORA_NEEDS_TEST_HOOKS();
  TempFolder dir, state;
  WriteFiles(dir.path(), {"a.txt", "b.txt"});
  const std::string journal = state / "j";
  const Names run = {"rename", "--slot1", "upper", "--journal", journal, Bare(dir)};
  EXPECT_EQ(Upper(journal, Bare(dir), {"VELMORA_TEST_KILL_AFTER=1"}).status, -1);
  const std::string text = ReadFile(journal);
  const std::size_t begin = text.find("\nB\t") + 3;
  const std::string id = text.substr(begin, text.find('\t', begin) - begin);

  CliResult r = RunCliOnTerminal(run, "n\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.out, HasSubstr("Lauf " + id));
  EXPECT_THAT(r.out, HasSubstr("Trotzdem fortfahren?"));
  EXPECT_EQ(Listing(dir.path()), (Names{"A.TXT", "b.txt"}));

  r = Upper(journal, Bare(dir));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr("velmora-cli undo --last"));
  EXPECT_THAT(r.err, HasSubstr("velmora-cli undo --dismiss " + id));
  EXPECT_EQ(Listing(dir.path()), (Names{"A.TXT", "B.TXT"}));

  EXPECT_EQ(RunCli({"undo", "--journal", journal, "--dismiss", "1-2"}).status, 2);
  EXPECT_EQ(RunCli({"undo", "--journal", journal, "--dismiss", id}).status, 0);
  r = Upper(journal, Bare(dir));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");  // that it is still taken back: the journal's dismiss test
}

// tag refuses a link with an error naming it, leaving the file it points at
// alone; read-tag never waits on a FIFO.
TEST(CliTag, NeverThroughALinkNeverBlocked) {
  TempFolder dir, outside;
  const std::string victim(300, 'v');
  WriteFile(outside / "victim.mp3", victim);
  ASSERT_EQ(::symlink((outside / "victim.mp3").c_str(), (dir / "link.mp3").c_str()), 0);
  const CliResult r = RunCli({"tag", "--title", "=owned", Bare(dir)});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("link.mp3"));
  EXPECT_EQ(ReadFile(outside / "victim.mp3"), victim);

  ASSERT_EQ(::mkfifo((dir / "fifo.mp3").c_str(), 0600), 0);
  // Under a time limit: a blocked open would end with status 124.
  const std::string readTag = "timeout 20 " VELMORA_CLI " read-tag " + dir / "fifo.mp3";
  EXPECT_EQ(WEXITSTATUS(std::system((readTag + " >/dev/null 2>&1").c_str())), 1);
}

}  // namespace
}  // namespace velmora
