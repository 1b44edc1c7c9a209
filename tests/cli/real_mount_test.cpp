// velmora-cli on real FUSE volumes: an exFAT image through exfat-fuse, which
// ignores letter case and gives each spelling of a name its own inode, and
// an NTFS image through ntfs-3g, which tells the spellings apart. Both show
// the mount type "fuseblk". They need root, /dev/fuse, a free loop device
// and the packages of scripts/install-deps.sh, and are skipped without.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "services/posix_file_system.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Names = std::vector<std::string>;

bool Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The first line a command prints, "" when it fails.
std::string FirstLine(const std::string& command) {
  std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return {};
  char line[256] = {};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  if (::pclose(pipe) != 0 || !read) return {};
  std::string text = line;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// A small volume image formatted by mkfs, attached to a loop device and
// mounted by the FUSE driver; `folder` is a fresh folder on it.
class FuseVolume {
 public:
  FuseVolume(const std::string& mkfs, const std::string& mountCommand) {
    if (::geteuid() != 0) {
      reason_ = "needs root";
      return;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
      reason_ = "no /dev/fuse";
      return;
    }
    const std::string image = work_ / "volume.img";
    if (!Run("truncate -s 16M " + image) || !Run(mkfs + " " + image)) {
      reason_ = "cannot format an image with '" + mkfs + "' (scripts/install-deps.sh)";
      return;
    }
    device_ = FirstLine("losetup -f --show " + image);
    if (device_.empty()) {
      reason_ = "no free loop device";
      return;
    }
    ::mkdir((work_ / "mnt").c_str(), 0700);
    if (!Run(mountCommand + " " + device_ + " " + work_ / "mnt")) {
      reason_ = "'" + mountCommand + "' cannot mount the image";
      return;
    }
    mounted_ = true;
    folder_ = work_ / "mnt/music/";
    if (::mkdir(folder_.c_str(), 0700) != 0) reason_ = "cannot write on the volume";
  }
  ~FuseVolume() {
    if (mounted_) Run("umount " + work_ / "mnt");
    if (!device_.empty()) Run("losetup -d " + device_);
  }
  FuseVolume(const FuseVolume&) = delete;
  FuseVolume& operator=(const FuseVolume&) = delete;

  // Why the volume is not there, "" when it is.
  const std::string& reason() const { return reason_; }
  const std::string& folder() const { return folder_; }
  std::string operator/(const std::string& name) const { return folder_ + name; }
  std::string Bare() const { return folder_.substr(0, folder_.size() - 1); }

 private:
  TempFolder work_;
  std::string device_;
  bool mounted_ = false;
  std::string folder_;
  std::string reason_;
};

// exfat-fuse has neither no-replace renames nor hard links: plain renames
// still go through, and never replace.
TEST(RealMountExfat, RenamesWithoutReplacing) {
  FuseVolume volume("mkfs.exfat", "mount.exfat-fuse");
  if (!volume.reason().empty()) GTEST_SKIP() << "exFAT through FUSE: " << volume.reason();
  WriteFile(volume / "a.mp3", "a");
  WriteFile(volume / "b.mp3", "b");
  PosixFileSystem fs;
  EXPECT_EQ(fs.Move(volume / "a.mp3", volume / "b.mp3").number, 58);
  ASSERT_TRUE(fs.Move(volume / "a.mp3", volume / "c.mp3").ok());
  EXPECT_EQ(Listing(volume.folder()), (Names{"b.mp3", "c.mp3"}));

  const CliResult run = RunCli({"rename", "--slot1", "replace", "--src1", "b", "--dst1", "Tune",
                                "--yes-all", volume.Bare()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Listing(volume.folder()), (Names{"Tune.mp3", "c.mp3"}));
  EXPECT_EQ(ReadFile(volume / "Tune.mp3"), "b");
}

// A case change is the same file under another spelling, even though the
// two spellings show different inodes: renamed, never deleted.
TEST(RealMountExfat, UpperCaseKeepsTheFile) {
  FuseVolume volume("mkfs.exfat", "mount.exfat-fuse");
  if (!volume.reason().empty()) GTEST_SKIP() << "exFAT through FUSE: " << volume.reason();
  WriteFile(volume / "Song.mp3", "song");
  const CliResult run =
      RunCli({"rename", "--slot1", "upper", "--yes-all", "--overwrite-all", volume.Bare()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Listing(volume.folder()), (Names{"SONG.MP3"}));
  EXPECT_EQ(ReadFile(volume / "SONG.MP3"), "song");
}

// The plan knows exFAT's name rules: --check stops before the run fails.
TEST(RealMountExfat, CheckRefusesNamesTheVolumeRefuses) {
  FuseVolume volume("mkfs.exfat", "mount.exfat-fuse");
  if (!volume.reason().empty()) GTEST_SKIP() << "exFAT through FUSE: " << volume.reason();
  WriteFile(volume / "Song.mp3", "song");
  const CliResult check = RunCli({"rename", "--slot1", "replace", "--src1", "Song", "--dst1", "a:b",
                                  "--yes-all", "--check", volume.Bare()});
  EXPECT_EQ(check.status, 3) << check.err;
  EXPECT_THAT(check.out, HasSubstr("[Fehler]"));
  EXPECT_EQ(Listing(volume.folder()), (Names{"Song.mp3"}));
}

// ntfs-3g tells the spellings apart: a case change onto a separate file is
// an overwrite, which the run does not do unasked.
TEST(RealMountNtfs, CaseChangeOntoASeparateFileIsNotDoneUnasked) {
  FuseVolume volume("mkntfs -F -Q", "ntfs-3g");
  if (!volume.reason().empty()) GTEST_SKIP() << "NTFS through ntfs-3g: " << volume.reason();
  WriteFile(volume / "Song.mp3", "song");
  WriteFile(volume / "SONG.MP3", "SONG");
  const CliResult run = RunCli({"rename", "--slot1", "upper", "--yes-all", volume.Bare()});
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(Listing(volume.folder()), (Names{"SONG.MP3", "Song.mp3"}));
  EXPECT_EQ(ReadFile(volume / "SONG.MP3"), "SONG");
  EXPECT_EQ(ReadFile(volume / "Song.mp3"), "song");
}

// ... and --check reports it.
TEST(RealMountNtfs, CheckReportsACaseChangeOntoASeparateFile) {
  FuseVolume volume("mkntfs -F -Q", "ntfs-3g");
  if (!volume.reason().empty()) GTEST_SKIP() << "NTFS through ntfs-3g: " << volume.reason();
  WriteFile(volume / "Song.mp3", "song");
  WriteFile(volume / "SONG.MP3", "SONG");
  const CliResult check = RunCli(
      {"rename", "--slot1", "upper", "--yes-all", "--overwrite-all", "--check", volume.Bare()});
  EXPECT_EQ(check.status, 3) << check.out << check.err;
  EXPECT_EQ(ReadFile(volume / "SONG.MP3"), "SONG");
  EXPECT_EQ(ReadFile(volume / "Song.mp3"), "song");
}

}  // namespace
}  // namespace velmora
