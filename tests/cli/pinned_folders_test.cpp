// A run works through the folders it searched, whatever another user puts in
// their place between two steps (VELMORA_TEST_RUN_AFTER swaps them, as the
// user nobody, after the first step); and links in the found list are
// copied, moved and taken back as links. And velmora-cli on real FUSE
// volumes: an exFAT image through exfat-fuse, which ignores letter case and
// gives each spelling of a name its own inode, and an NTFS image through
// ntfs-3g, which tells the spellings apart. Both show the mount type
// "fuseblk". They need root, /dev/fuse, a free loop device and the packages
// of scripts/install-deps.sh, and are skipped without.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "services/posix_file_system.h"
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
    const CliResult r = RunCli({command, "--slot1", "upper", "--yes-all", "--dest", Bare(there),
                                "--pattern", "link", "--journal", journal, dir / "src"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::filesystem::read_symlink(there / "LINK"), dir / "src/secret") << command;
    EXPECT_EQ(std::filesystem::is_symlink(dir / "src/link"), command[0] == 'c') << command;
    EXPECT_TRUE(Succeeds(Undo(journal, {"--last"})));
    EXPECT_EQ(Listing(there.path()), Names{}) << command;
    EXPECT_EQ(std::filesystem::read_symlink(dir / "src/link"), dir / "src/secret") << command;
  }
}

class RealMountExfat : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!volume.reason().empty()) GTEST_SKIP() << "exFAT through FUSE: " << volume.reason();
  }
  LoopVolume volume{"mkfs.exfat", "mount.exfat-fuse"};
};

// exfat-fuse has neither no-replace renames nor hard links: plain renames
// and copies still go through, and never replace.
TEST_F(RealMountExfat, RenamesWithoutReplacing) {
  WriteFile(volume / "a.mp3", "a");
  WriteFile(volume / "b.mp3", "b");
  PosixFileSystem fs;
  EXPECT_EQ(fs.Move(volume / "a.mp3", volume / "b.mp3").number, kFileExists);
  ASSERT_TRUE(fs.Move(volume / "a.mp3", volume / "c.mp3").ok());
  // No unnamed files there either: a copy goes through a named partial file.
  EXPECT_EQ(fs.Copy(volume / "c.mp3", volume / "b.mp3").number, kFileExists);
  ASSERT_TRUE(fs.Copy(volume / "c.mp3", volume / "d.mp3").ok());
  EXPECT_EQ(Listing(volume.folder()), (Names{"b.mp3", "c.mp3", "d.mp3"}));

  EXPECT_TRUE(Succeeds(RunCli({"rename", "--slot1", "replace", "--src1", "b", "--dst1", "Tune",
                               "--yes-all", volume.Bare()})));
  EXPECT_EQ(Listing(volume.folder()), (Names{"Tune.mp3", "c.mp3", "d.mp3"}));
  EXPECT_EQ(ReadFile(volume / "Tune.mp3"), "b");
}

// exFAT has no links: a link is not copied there at all, and certainly not
// as the root-only file behind it.
TEST_F(RealMountExfat, ALinkIsNeverCopiedAsTheFileBehindIt) {
  TempFolder dir;
  WriteFile(dir / "secret", "secret");
  ::chmod((dir / "secret").c_str(), 0600);
  ASSERT_EQ(::symlink((dir / "secret").c_str(), (dir / "link").c_str()), 0);
  PosixFileSystem fs;
  EXPECT_FALSE(fs.Copy(dir / "link", volume / "link").ok());
  EXPECT_FALSE(fs.Move(dir / "link", volume / "link").ok());
  EXPECT_EQ(Listing(volume.folder()), Names{});
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
}

// A case change is the same file under another spelling, even though the
// two spellings show different inodes: renamed, never deleted.
TEST_F(RealMountExfat, UpperCaseKeepsTheFile) {
  WriteFile(volume / "Song.mp3", "song");
  EXPECT_TRUE(Succeeds(
      RunCli({"rename", "--slot1", "upper", "--yes-all", "--overwrite-all", volume.Bare()})));
  EXPECT_EQ(Listing(volume.folder()), (Names{"SONG.MP3"}));
  EXPECT_EQ(ReadFile(volume / "SONG.MP3"), "song");
}

// The plan knows exFAT's name rules: --check stops before the run fails.
TEST_F(RealMountExfat, CheckRefusesNamesTheVolumeRefuses) {
  WriteFile(volume / "Song.mp3", "song");
  const CliResult check = RunCli({"rename", "--slot1", "replace", "--src1", "Song", "--dst1", "a:b",
                                  "--yes-all", "--check", volume.Bare()});
  EXPECT_EQ(check.status, 3) << check.err;
  EXPECT_THAT(check.out, HasSubstr("[Fehler]"));
  EXPECT_EQ(Listing(volume.folder()), (Names{"Song.mp3"}));
}

// ntfs-3g tells the spellings apart: a case change onto a separate file is
// an overwrite, which the run does not do unasked and --check reports.
TEST(RealMountNtfs, CaseChangeOntoASeparateFileIsNotDoneUnasked) {
  LoopVolume volume("mkntfs -F -Q", "ntfs-3g");
  if (!volume.reason().empty()) GTEST_SKIP() << "NTFS through ntfs-3g: " << volume.reason();
  WriteFile(volume / "Song.mp3", "song");
  WriteFile(volume / "SONG.MP3", "SONG");
  const CliResult check = RunCli(
      {"rename", "--slot1", "upper", "--yes-all", "--overwrite-all", "--check", volume.Bare()});
  EXPECT_EQ(check.status, 3) << check.out << check.err;
  const CliResult run = RunCli({"rename", "--slot1", "upper", "--yes-all", volume.Bare()});
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(Listing(volume.folder()), (Names{"SONG.MP3", "Song.mp3"}));
  EXPECT_EQ(ReadFile(volume / "SONG.MP3") + ReadFile(volume / "Song.mp3"), "SONGsong");
}

}  // namespace
}  // namespace velmora
