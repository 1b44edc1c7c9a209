// velmora-cli on real FUSE volumes: an exFAT image through exfat-fuse, which
// ignores letter case and gives each spelling of a name its own inode, and
// an NTFS image through ntfs-3g, which tells the spellings apart. Both show
// the mount type "fuseblk". They need root, /dev/fuse, a free loop device
// and the packages of scripts/install-deps.sh, and are skipped without.
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
  EXPECT_EQ(fs.Move(volume / "a.mp3", volume / "b.mp3").number, 58);
  ASSERT_TRUE(fs.Move(volume / "a.mp3", volume / "c.mp3").ok());
  // No unnamed files there either: a copy goes through a named partial file.
  EXPECT_EQ(fs.Copy(volume / "c.mp3", volume / "b.mp3").number, 58);
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
