// A run works through the folders it searched, whatever another user puts in
// their place between two steps (VELMORA_TEST_RUN_AFTER swaps them, as the
// user nobody, after the first step); and links in the found list are
// copied, moved and taken back as links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/cli/cli_runner.h"
#include "tests/support/shell_tools.h"

namespace velmora {
namespace {

using namespace velmora::testing;

constexpr int kNobody = 65534;

// Why a swap by another user cannot be staged here, or "".
std::string NoOtherUser() {
  if (::geteuid() != 0) return "needs root to act as another user";
  if (!Shell("command -v setpriv >/dev/null")) return "setpriv (util-linux) is missing";
  return {};
}

void OwnedByNobody(const std::string& path) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
    ASSERT_EQ(::lchown(entry.path().c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
}

// After the first step, nobody moves folder aside and puts a link to target
// in its place.
std::string SwapAfterFirstStep(const std::string& folder, const std::string& target) {
  return "VELMORA_TEST_RUN_AFTER=1:setpriv --reuid=" + std::to_string(kNobody) +
         " --regid=" + std::to_string(kNobody) + " --clear-groups sh -c 'mv " + folder + " " +
         folder + ".old && ln -s " + target + " " + folder + "'";
}

// A root-only folder holding the given names.
void RootOnly(const std::string& folder, const Names& names) {
  std::filesystem::create_directories(folder);
  WriteFiles(folder, names);
  ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
}

// The searched folder is reached through a link the user chose; after the
// first rename nobody swaps the folder, or a sub-folder not entered yet, for
// a link to a root-only folder. The run stays in the folders it searched
// (sub-folders first, the last first) or names the one it refuses.
TEST(PinnedRun, AFolderSwappedForALinkIsNeverEntered) {
  VELMORA_NEEDS_TEST_HOOKS();
  if (const std::string why = NoOtherUser(); !why.empty()) GTEST_SKIP() << why;
  struct Row {
    const char* swapped;  // below parent/music
    int status;
    Names music, y, z;  // afterwards, in the folders the search listed
    int undoStatus;     // the searched folder replaced: undo refuses it
  };
  const Row rows[] = {
      {"", 0, {"A", "B", "y", "z"}, {"A"}, {"A", "B"}, 1},
      {"/y", 1, {"A", "B", "y", "y.old", "z"}, {"a"}, {"A", "B"}, 0},
  };
  for (const Row& row : rows) {
    TempFolder dir;
    ::chmod(dir.path().c_str(), 0755);
    WriteFiles(dir / "parent/music/", {"y/a", "z/a", "z/b", "a", "b"});
    OwnedByNobody(dir / "parent");
    RootOnly(dir / "secret/", {"a", "b"});
    ASSERT_EQ(::symlink((dir / "parent").c_str(), (dir / "home").c_str()), 0);
    const std::string swapped = dir / "parent/music" + row.swapped;
    const std::string journal = dir / "journal";
    const CliResult run = RunCli({"rename", "--slot1", "upper", "--yes-all", "--subdirs",
                                  "--journal", journal, dir / "home/music"},
                                 {SwapAfterFirstStep(swapped, dir / "secret")});
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_EQ(Listing(dir / "secret"), (Names{"a", "b"})) << row.swapped;
    if (row.status != 0) {
      EXPECT_THAT(run.err + run.out, HasSubstr(dir / "home/music/y/"));
    }
    const std::string music = dir / (row.swapped[0] == '\0' ? "parent/music.old" : "parent/music");
    EXPECT_EQ(Listing(music), row.music) << row.swapped;
    EXPECT_EQ(Listing(music + (row.swapped[0] == '\0' ? "/y" : "/y.old")), row.y) << row.swapped;
    EXPECT_EQ(Listing(music + "/z"), row.z) << row.swapped;
    // Undo does not follow the swap either: the replaced folder is named.
    const CliResult undo = RunCli({"undo", "--yes-all", "--journal", journal});
    EXPECT_EQ(undo.status, row.undoStatus) << undo.err;
    if (row.undoStatus != 0) {
      EXPECT_THAT(undo.out + undo.err, HasSubstr("Ordner seit dem Lauf ersetzt"));
    }
    EXPECT_EQ(Listing(dir / "secret"), (Names{"a", "b"})) << row.swapped;
  }
}

// The destination swapped after the first copy: every copy still lands in
// the folder the run opened, none in the root-only one.
TEST(PinnedRun, ADestinationSwappedForALinkGetsNothing) {
  VELMORA_NEEDS_TEST_HOOKS();
  if (const std::string why = NoOtherUser(); !why.empty()) GTEST_SKIP() << why;
  TempFolder dir;
  ::chmod(dir.path().c_str(), 0755);
  WriteFiles(dir / "from/", {"a", "b", "c"});
  std::filesystem::create_directories(dir / "parent/dest");
  OwnedByNobody(dir / "parent");
  RootOnly(dir / "secret/", {});
  EXPECT_TRUE(Succeeds(
      RunCli({"copy", "--slot1", "upper", "--yes-all", "--dest", dir / "parent/dest", dir / "from"},
             {SwapAfterFirstStep(dir / "parent/dest", dir / "secret")})));
  EXPECT_EQ(Listing(dir / "secret"), Names{});
  EXPECT_EQ(Listing(dir / "parent/dest.old"), (Names{"A", "B", "C"}));
}

// A link is copied and moved to another file system as a link to the same
// target, never as the file behind it, and undo brings back a link.
TEST(PinnedRun, LinksAreCopiedMovedAndTakenBackAsLinks) {
  TempFolder dir;
  if (::access("/dev/shm", W_OK) != 0) GTEST_SKIP() << "no /dev/shm for a second file system";
  TempFolder there("/dev/shm");
  WriteFile(dir / "src/secret", "secret");
  ::chmod((dir / "src/secret").c_str(), 0600);
  ASSERT_EQ(::symlink((dir / "src/secret").c_str(), (dir / "src/link").c_str()), 0);
  const std::string journal = dir / "journal";
  for (const char* command : {"copy", "move"}) {
    CliResult r = RunCli({command, "--slot1", "upper", "--yes-all", "--dest", Bare(there),
                          "--pattern", "link", "--journal", journal, dir / "src"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::filesystem::read_symlink(there / "LINK"), dir / "src/secret") << command;
    EXPECT_EQ(std::filesystem::is_symlink(dir / "src/link"), command[0] == 'c') << command;
    r = Undo(journal, {"--last"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Listing(there.path()), Names{}) << command;
    EXPECT_EQ(std::filesystem::read_symlink(dir / "src/link"), dir / "src/secret") << command;
  }
}

}  // namespace
}  // namespace velmora
