#include "services/pinned_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "engine/error_numbers.h"
#include "services/posix_file_system.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// Once pinned, the folders a run works in stay the ones it opened: the
// searched folder swapped for a link is still worked in where it went, and
// a sub-folder swapped for a link or another folder is never entered.
TEST(PinnedFolders, ReplacedFoldersAreNeverEnteredThroughTheirNewLink) {
  TempFolder dir;
  testing::WriteFiles(dir.path(), {"music/a", "music/opened/b", "music/later/c", "music/other/d",
                                   "elsewhere/a", "elsewhere/later/c", "elsewhere/opened/b"});
  PosixFileSystem fs;
  (void)fs.ReadFolder(dir / "music/other");  // the listing saw this folder
  ASSERT_TRUE(fs.PinFolder(dir / "music").ok());
  ASSERT_TRUE(fs.GetFile(dir / "music/opened/b").ok());

  ASSERT_EQ(std::rename((dir / "music").c_str(), (dir / "old").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "music").c_str()), 0);
  EXPECT_TRUE(fs.Move(dir / "music/a", dir / "music/A").ok());
  EXPECT_TRUE(fs.Copy(dir / "music/opened/b", dir / "music/opened/B").ok());
  EXPECT_EQ(ReadFile(dir / "old/A") + ReadFile(dir / "old/opened/B"), "music/amusic/opened/b");
  EXPECT_EQ(ReadFile(dir / "elsewhere/a"), "elsewhere/a");
  // Every look goes there too: lists, identities, open files.
  FileIdentity identity;
  Error error;
  EXPECT_TRUE(fs.HasEntrySpelled(dir / "music/A"));
  EXPECT_TRUE(fs.Identify(dir / "music/A", identity));
  EXPECT_NE(fs.Open(dir / "music/A", OpenMode::kReadWrite, error), nullptr) << error.description;

  ASSERT_EQ(std::rename((dir / "old/later").c_str(), (dir / "old/later.old").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "elsewhere/later").c_str(), (dir / "old/later").c_str()), 0);
  ASSERT_EQ(std::rename((dir / "old/other").c_str(), (dir / "old/other.old").c_str()), 0);
  ASSERT_EQ(::mkdir((dir / "old/other").c_str(), 0700), 0);
  struct Row {
    std::string path;
    std::string folder;
  };
  const Row rows[] = {{dir / "music/later/c", dir / "music/later/"},
                      {dir / "music/other/d", dir / "music/other/"},
                      {dir / "music/../elsewhere/a", dir / "music/../"}};
  for (const Row& row : rows) {
    error = fs.Delete(row.path);
    EXPECT_EQ(error.number, kPathFileAccess) << row.path;
    EXPECT_NE(error.description.find(row.folder), std::string::npos) << error.description;
  }
  EXPECT_EQ(ReadFile(dir / "elsewhere/later/c"), "elsewhere/later/c");

  // Without pins, paths are paths again.
  fs.UnpinFolders();
  EXPECT_TRUE(fs.Delete(dir / "music/later/c").ok());
  EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere/later/c"));
}

// Past its budget of descriptors a sub-folder is closed and opened again by
// name when needed, which must find the folder it had.
TEST(PinnedFolders, AFolderOpenedAgainMustBeTheSameOne) {
  TempFolder dir;
  WriteFile(dir / "music/a/x", "x");
  WriteFile(dir / "music/b/y", "y");
  PinnedFolders pins(1);
  ASSERT_TRUE(pins.Pin(dir / "music").ok());
  FolderPlace place;
  const std::string x = dir / "music/a/x";
  ASSERT_TRUE(pins.Resolve(x, place).ok());
  EXPECT_EQ(place.name.view(), "x");
  const std::string y = dir / "music/b/y";
  ASSERT_TRUE(pins.Resolve(y, place).ok());  // a is let go

  ASSERT_EQ(std::rename((dir / "music/a").c_str(), (dir / "a.old").c_str()), 0);
  ASSERT_EQ(::mkdir((dir / "music/a").c_str(), 0700), 0);
  const Error error = pins.Resolve(x, place);
  EXPECT_EQ(error.number, kPathFileAccess);
  EXPECT_NE(error.description.find(dir / "music/a/"), std::string::npos);
  EXPECT_TRUE(pins.Resolve(y, place).ok());
  const std::string z = dir / "elsewhere/z";
  EXPECT_TRUE(pins.Resolve(z, place).ok());
  EXPECT_EQ(place.dir, AT_FDCWD);
  EXPECT_EQ(place.name.view(), z);
}

}  // namespace
}  // namespace velmora
