#include "services/posix_file_system.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "tests/support/file_size_limit.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::FileExists;
using testing::FileSizeLimit;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}

// A folder on another file system than the temporary folder, if there is one.
std::string OtherFileSystemBase() {
  const char* candidates[] = {"/dev/shm", "/run/user", "/var/tmp"};
  const dev_t tmp = StatOf(std::filesystem::temp_directory_path().string()).st_dev;
  for (const char* base : candidates) {
    struct stat st {};
    if (::stat(base, &st) == 0 && st.st_dev != tmp && ::access(base, W_OK) == 0) return base;
  }
  return {};
}

TEST(PosixFileSystem, MoveNeverReplaces) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "a", "A");
  WriteFile(dir / "b", "B");
  EXPECT_EQ(fs.Move(dir / "a", dir / "b").number, 58);
  EXPECT_EQ(ReadFile(dir / "a"), "A");
  EXPECT_EQ(ReadFile(dir / "b"), "B");
  EXPECT_EQ(fs.Move(dir / "gone", dir / "c").number, 53);
  EXPECT_EQ(fs.Move(dir / "a", dir / ("nofolder" + std::string(kPathSeparatorText) + "c")).number, 76);
  EXPECT_TRUE(fs.Move(dir / "a", dir / "c").ok());
  EXPECT_EQ(ReadFile(dir / "c"), "A");
  EXPECT_FALSE(FileExists(dir / "a"));
}

TEST(PosixFileSystem, CopyKeepsModeAndTimeAndNeverOverwrites) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "a", std::string(200000, 'x'));
  ::chmod((dir / "a").c_str(), 0640);
  const timespec times[2] = {{1000000000, 0}, {1200000000, 500}};
  ::utimensat(AT_FDCWD, (dir / "a").c_str(), times, 0);

  ASSERT_TRUE(fs.Copy(dir / "a", dir / "b").ok());
  EXPECT_EQ(ReadFile(dir / "b"), ReadFile(dir / "a"));
  EXPECT_EQ(StatOf(dir / "b").st_mode & 07777, 0640u);
  EXPECT_EQ(StatOf(dir / "b").st_mtim.tv_sec, 1200000000);

  WriteFile(dir / "c", "C");
  EXPECT_EQ(fs.Copy(dir / "a", dir / "c").number, 58);
  EXPECT_EQ(ReadFile(dir / "c"), "C");
  EXPECT_EQ(fs.Copy(dir / "gone", dir / "d").number, 53);
}

TEST(PosixFileSystem, MoveIntoAnotherFileSystem) {
  const std::string base = OtherFileSystemBase();
  if (base.empty()) GTEST_SKIP() << "no second file system";
  TempFolder here;
  TempFolder there(base);
  PosixFileSystem fs;
  WriteFile(here / "a", "content");
  ::chmod((here / "a").c_str(), 0604);
  ASSERT_TRUE(fs.Move(here / "a", there / "b").ok());
  EXPECT_FALSE(FileExists(here / "a"));
  EXPECT_EQ(ReadFile(there / "b"), "content");
  EXPECT_EQ(StatOf(there / "b").st_mode & 07777, 0604u);

  WriteFile(here / "c", "mine");
  WriteFile(there / "c", "theirs");
  EXPECT_EQ(fs.Move(here / "c", there / "c").number, 58);
  EXPECT_EQ(ReadFile(here / "c"), "mine");
  EXPECT_EQ(ReadFile(there / "c"), "theirs");
}

// A copy or move that fails half way leaves the source as it was and no
// half file under the new name.
TEST(PosixFileSystem, FailureMidCopyLeavesNoPartialTarget) {
  TempFolder here;
  const std::string big(1 << 20, 'b');
  WriteFile(here / "big", big);
  PosixFileSystem fs;
  std::vector<std::pair<std::string, std::string>> steps = {{here / "big", here / "copy"}};
  const std::string base = OtherFileSystemBase();
  TempFolder there(base.empty() ? std::filesystem::temp_directory_path().string() : base);
  if (!base.empty()) steps.emplace_back(here / "big", there / "moved");

  for (std::size_t i = 0; i < steps.size(); ++i) {
    const auto& [source, target] = steps[i];
    Error error;
    {
      FileSizeLimit limit(64 * 1024);
      error = i == 0 ? fs.Copy(source, target) : fs.Move(source, target);
    }
    EXPECT_EQ(error.number, 61) << target;
    EXPECT_FALSE(FileExists(target)) << target;
    EXPECT_EQ(ReadFile(source), big) << target;
  }
}

TEST(PosixFileSystem, GetFileDeleteAndSameFile) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "a", "A");
  WriteFile(dir / "b", "A");
  ::link((dir / "a").c_str(), (dir / "link").c_str());
  ::mkdir((dir / "sub").c_str(), 0700);

  EXPECT_TRUE(fs.GetFile(dir / "a").ok());
  EXPECT_EQ(fs.GetFile(dir / "sub").number, 53);
  EXPECT_EQ(fs.GetFile(dir / ("a" + std::string(kPathSeparatorText) + "x")).number, 53);
  EXPECT_TRUE(fs.SameFile(dir / "a", dir / "link"));
  EXPECT_TRUE(fs.SameFile(dir / "a", dir / ("sub" + std::string(kPathSeparatorText) + ".." + kPathSeparator + "a")));
  EXPECT_FALSE(fs.SameFile(dir / "a", dir / "b"));
  EXPECT_FALSE(fs.SameFile(dir / "a", dir / "gone"));

  EXPECT_TRUE(fs.Delete(dir / "a").ok());
  EXPECT_FALSE(FileExists(dir / "a"));
  EXPECT_EQ(fs.Delete(dir / "a").number, 53);
  EXPECT_FALSE(fs.Delete(dir / "sub").ok());
  EXPECT_TRUE(FileExists(dir / "sub"));
}

TEST(ErrorFromErrno, MapsToTheMessageTable) {
  const std::pair<int, int> rows[] = {
      {ENOENT, 53}, {EEXIST, 58}, {ENOSPC, 61}, {EACCES, 70}, {EPERM, 70}, {EROFS, 75},
      {EIO, 57},    {ENOTDIR, 76}, {ENAMETOOLONG, 52}, {EXDEV, 74}, {EMFILE, 67}};
  for (const auto& [err, number] : rows) {
    const Error error = ErrorFromErrno(err);
    EXPECT_EQ(error.number, number) << err;
    EXPECT_EQ(error.description, std::strerror(err)) << err;
  }
  EXPECT_TRUE(ErrorFromErrno(0).ok());
}

}  // namespace
}  // namespace velmora
