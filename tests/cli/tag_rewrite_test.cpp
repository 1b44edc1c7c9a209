// A signal while a tag write copies a large file into a new one: the new
// file goes, the original stays as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "tags/tag_test_support.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

constexpr off_t kLargeSize = 1LL << 30;  // sparse: only its two ends hold data

TEST(CliTagRewrite, SignalDuringARewriteLeavesNoTemporary) {
  VELMORA_NEEDS_TEST_HOOKS();
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    const TempFolder folder, state;
    const std::string file = folder / "a.mp3";
    const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 0);
    WriteFile(file, head + Audio(4000));
    ASSERT_EQ(::truncate(file.c_str(), kLargeSize), 0);
    const ScopedEnv at("VELMORA_TEST_SIGNAL_AT", ("rewrite:" + std::to_string(sig)).c_str());
    const CliResult r = RunCli({"tag", "--title", "=" + std::string(300, 'x'), "--journal",
                                state / "journal", folder.path()});
    EXPECT_EQ(r.status, -1) << r.err;
    EXPECT_EQ(Listing(folder.path()), Names{"a.mp3"});
    EXPECT_EQ(StatOf(file).st_size, kLargeSize);
    std::string start(head.size() + 4000, '\0');
    std::ifstream(file, std::ios::binary).read(start.data(), std::streamsize(start.size()));
    EXPECT_EQ(start, head + Audio(4000));
  }
}

// A rewrite gives the file a new inode, and so does its undo: the rename
// before it is still taken back, the file known by its new inode.
TEST(CliTagRewrite, RenameBeforeARewriteIsStillTakenBack) {
  const TempFolder folder, state;
  const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 0);
  WriteFile(folder / "a.mp3", head + Audio(4000));
  const std::string journal = state / "journal";
  ASSERT_TRUE(Succeeds(Upper(journal, folder.path())));
  ASSERT_TRUE(Succeeds(RunCli(
      {"tag", "--title", "=" + std::string(300, 'x'), "--journal", journal, folder.path()})));
  EXPECT_TRUE(UndoRestores(journal, folder.path(), {"a.mp3"}));
  EXPECT_EQ(ReadFile(folder / "a.mp3"), head + Audio(4000));
}

}  // namespace
}  // namespace velmora
