#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/error_numbers.h"
#include "services/plan_text.h"
#include "services/posix_file_system.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::TempFolder;
using testing::WriteFile;

// The names of items, sorted; folders and broken links end in "/".
std::vector<std::string> Seen(const std::vector<FolderItem>& items) {
  std::vector<std::string> seen;
  for (const FolderItem& item : items) seen.push_back(item.name + (item.file ? "" : "/"));
  std::sort(seen.begin(), seen.end());
  return seen;
}

// The lists and the search leave out hidden names and never enter a link to
// a folder; the plan sees every name, a file where GetFile finds one.
TEST(PosixListing, ListsFilesFoldersAndLinksAsGetFileSeesThem) {
  TempFolder dir;
  WriteFile(dir / "a.txt", "a");
  WriteFile(dir / ".hidden", "h");
  std::filesystem::create_directory(dir / "sub");
  ::symlink((dir / "a.txt").c_str(), (dir / "link").c_str());
  ::symlink((dir / "gone").c_str(), (dir / "broken").c_str());
  ::symlink(dir.path().c_str(), (dir / "loop").c_str());

  PosixFileSystem disk;
  FolderListing listing = disk.ReadFolder(dir.path());
  std::vector<std::string> files(listing.files.begin(), listing.files.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"a.txt", "link"}));
  EXPECT_EQ(listing.subFolders, std::vector<std::string>{"sub"});
  EXPECT_EQ(disk.ReadFolder(dir / "none").error.number, kPathNotFound);
  std::vector<FolderItem> items;
  ASSERT_TRUE(disk.ListFolder(dir.path(), items));
  EXPECT_EQ(Seen(items),
            (std::vector<std::string>{".hidden", "a.txt", "broken/", "link", "loop/", "sub/"}));
  EXPECT_FALSE(disk.ListFolder(dir / "none/", items));

  EXPECT_EQ(disk.Probe(dir / "a.txt"), PathKind::kFile);
  EXPECT_EQ(disk.Probe(dir / "sub/"), PathKind::kOther);
  EXPECT_EQ(disk.Probe(dir / "broken"), PathKind::kOther);
  EXPECT_EQ(disk.Probe(dir / "none"), PathKind::kNone);
}

// The plan takes the search's listing of a pinned folder only while it
// holds: whatever changed since, it sees the folder as it is now.
TEST(PosixListing, PlanTakesTheSearchsListingOnlyWhileItHolds) {
  struct Row {
    const char* change;
    bool pin;
    bool kept;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"", true, true, {".hidden", "a.txt", "b.txt", "sub/"}},
      {"add", true, false, {".hidden", "a.txt", "b.txt", "c.txt", "sub/"}},
      {"remove", true, false, {".hidden", "a.txt", "sub/"}},
      {"rename", true, false, {".hidden", "a.txt", "d.txt", "sub/"}},
      {"replace", true, false, {"other.txt"}},
      {"", false, false, {".hidden", "a.txt", "b.txt", "sub/"}},
  };
  for (const Row& row : rows) {
    TempFolder dir;
    // Elsewhere (overlayfs, network) nothing is kept: every row reads afresh.
    struct statfs fs {};
    ASSERT_EQ(::statfs(dir.path().c_str(), &fs), 0);
    const auto type = static_cast<unsigned long>(fs.f_type);
    const bool keeps = type == EXT4_SUPER_MAGIC || type == XFS_SUPER_MAGIC ||
                       type == BTRFS_SUPER_MAGIC || type == TMPFS_MAGIC || type == F2FS_SUPER_MAGIC;
    const std::string folder = dir / "f";
    std::filesystem::create_directory(folder);
    for (const char* name : {"a.txt", "b.txt", ".hidden"}) WriteFile(folder + "/" + name, "x");
    std::filesystem::create_directory(folder + "/sub");
    // Older than the search by a clock tick: a listing that may be kept.
    ::usleep(30000);
    PosixFileSystem disk;
    disk.KeepListingsForPlan(true);
    (void)disk.ReadFolder(folder);
    if (row.pin) {
      ASSERT_FALSE(disk.PinFolder(folder));
    }
    const std::string change = row.change;
    if (change == "add") WriteFile(folder + "/c.txt", "x");
    if (change == "remove") std::filesystem::remove(folder + "/b.txt");
    if (change == "rename") std::filesystem::rename(folder + "/b.txt", folder + "/d.txt");
    if (change == "replace") {
      std::filesystem::rename(folder, dir / "old");
      std::filesystem::create_directory(folder);
      WriteFile(folder + "/other.txt", "x");
    }
    std::vector<FolderItem> items;
    const bool kept = disk.TakeKeptListing(folder + "/", items);
    EXPECT_EQ(kept, row.kept && keeps) << row.change << " pinned " << row.pin;
    ASSERT_TRUE(kept || disk.ListFolder(folder + "/", items));
    EXPECT_EQ(Seen(items), row.expected) << row.change << " pinned " << row.pin;
    EXPECT_FALSE(disk.TakeKeptListing(folder + "/", items));  // taken once
  }
}

// The mount table names the type; a FUSE volume's type comes from the boot
// sector of its image.
TEST(PosixListing, CaseAndKindFromTheMountHoldingTheFolder) {
  TempFolder dir;
  for (const char* sub : {"usb", "usb/inner", "usbx", "ex", "nt", "odd", "gone"}) {
    std::filesystem::create_directory(dir / sub);
  }
  WriteFile(dir / "ex.img", std::string("\xEB\x76\x90") + "EXFAT   ");
  WriteFile(dir / "nt.img", std::string("\xEB\x52\x90") + "NTFS    ");
  WriteFile(dir / "odd.img", std::string(11, 'x'));
  const std::string root = std::filesystem::canonical(dir.path()).string();
  std::string table = "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 " + root + "/usb vfat rw 0 0\n" +
                      "/dev/sdb2 " + root + "/usb/inner ext4 rw 0 0\n";
  for (const char* fuse : {"ex", "nt", "odd", "gone"}) {
    table += root + "/" + fuse + ".img " + root + "/" + fuse + " fuseblk rw 0 0\n";
  }
  WriteFile(dir / "mounts", table);
  PosixFileSystem disk(dir / "mounts");
  EXPECT_TRUE(disk.IgnoresCase(dir / "usb/"));
  for (const char* other : {"usb/inner/", "usbx/", ""}) EXPECT_FALSE(disk.IgnoresCase(dir / other));
  for (const char* type : {"exfat", "ntfs3", "cifs"}) EXPECT_TRUE(IsCaselessFileSystemType(type));
  EXPECT_FALSE(IsCaselessFileSystemType("ext4"));
  const std::pair<const char*, FileSystemKind> kinds[] = {
      {"usb/", FileSystemKind::kFat},      {"ex/", FileSystemKind::kExfat},
      {"nt/", FileSystemKind::kNtfs},      {"odd/", FileSystemKind::kUnknown},
      {"gone/", FileSystemKind::kUnknown}, {"", FileSystemKind::kUnknown}};
  for (const auto& [folder, kind] : kinds) EXPECT_EQ(disk.FolderKind(dir / folder), kind) << folder;
}

TEST(PlanText, RefusalSummaryAndFailureReport) {
  RunPlan plan;
  plan.refusal = "Falsche oder fehlende Eingabe\r\n(Null ist als Startnummer nicht erlaubt)";
  EXPECT_EQ(PlanSummaryText(plan), "Falsche oder fehlende Eingabe");

  PlanRow row;
  row.finalPath = "/T/x";
  row.state = PlanState::kFailed;
  row.EditConflict().failure = {
      0,  Location::kCommit, kPathNotFound, "Konnte \r\n/T/a\r\n nicht zu \r\n/T/x\r\numbenennen",
      "", "Not a directory"};
  const std::string text = PlanRowText(row);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(text.find("Fehler:  " + std::to_string(kPathNotFound)), std::string::npos) << text;
  EXPECT_NE(text.find("( Not a directory )"), std::string::npos);
}

}  // namespace
}  // namespace velmora
