#include "services/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <tuple>

#include "services/crash_guard.h"
#include "services/posix_copy.h"
#include "tests/support/shell_tools.h"

namespace velmora {
namespace {

using namespace testing;

// A writable folder on another file system than the temporary folder, or "".
std::string OtherFileSystem() {
  const dev_t tmp = StatOf(std::filesystem::temp_directory_path().string()).st_dev;
  for (const char* base : {"/dev/shm", "/var/tmp"}) {
    if (::access(base, W_OK) == 0 && StatOf(base).st_dev != tmp) return base;
  }
  return {};
}

TEST(PosixFileSystem, MoveAndCopyNeverReplace) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "a", std::string(100000, 'a'));
  WriteFile(dir / "b", "B");
  ::chmod((dir / "a").c_str(), 0640);
  const timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
  ::utimensat(AT_FDCWD, (dir / "a").c_str(), times, 0);

  EXPECT_EQ(fs.Move(dir / "a", dir / "b").number, kFileExists);
  EXPECT_EQ(fs.Copy(dir / "a", dir / "b").number, kFileExists);
  EXPECT_EQ(ReadFile(dir / "b"), "B");
  EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"a", "b"}));  // no partial left
  EXPECT_EQ(fs.Move(dir / "gone", dir / "c").number, kFileNotFound);
  const Error noFolder = fs.Move(dir / "a", dir / ("no" + std::string(kPathSeparatorText) + "c"));
  EXPECT_EQ(noFolder.number, kPathNotFound);
  EXPECT_EQ(noFolder.description, std::strerror(ENOENT));

  ASSERT_TRUE(fs.Copy(dir / "a", dir / "c").ok());
  EXPECT_EQ(ReadFile(dir / "c"), ReadFile(dir / "a"));
  EXPECT_EQ(StatOf(dir / "c").st_mode & 07777, 0640u);
  EXPECT_EQ(StatOf(dir / "c").st_mtim.tv_sec, 1200000000);
  ASSERT_TRUE(fs.Move(dir / "a", dir / "d").ok());
  EXPECT_FALSE(FileExists(dir / "a"));
}

// A copy, or a move into another file system, that runs out of space half
// way leaves the source whole and neither the final name nor its partial
// file; one that succeeds leaves only the final name, and never replaces.
TEST(PosixFileSystem, CopyAppearsWholeOrNotAtAll) {
  const std::string base = OtherFileSystem();
  TempFolder dir, dest, there(base.empty() ? dir.path() : base);
  PosixFileSystem fs;
  const std::string big(1 << 20, 'b');
  WriteFile(dir / "big", big);
  for (const bool move : {false, true}) {
    if (move && base.empty()) continue;  // the move needs a second file system
    testing::FileSizeLimit limit(rlim_t{64} * 1024);
    const Error error =
        move ? fs.Move(dir / "big", there / "big") : fs.Copy(dir / "big", dest / "big");
    EXPECT_EQ(error.number, kDiskFull) << move;
    EXPECT_EQ(Listing((move ? there : dest).path()), std::vector<std::string>{}) << move;
    EXPECT_EQ(ReadFile(dir / "big"), big);
  }
  ASSERT_TRUE(fs.Copy(dir / "big", dest / "big").ok());
  EXPECT_EQ(Listing(dest.path()), std::vector<std::string>{"big"});
  EXPECT_EQ(ReadFile(dest / "big"), big);
  EXPECT_EQ(PartialName(dest / "big", 2),
            dest / (".big.velmora-part-" + std::to_string(::getpid()) + "-2"));

  if (base.empty()) GTEST_SKIP() << "no second file system for the move";
  WriteFile(there / "taken", "theirs");
  EXPECT_EQ(fs.Move(dir / "big", there / "taken").number, kFileExists);
  ASSERT_TRUE(fs.Move(dir / "big", there / "big").ok());
  EXPECT_EQ(Listing(there.path()), (std::vector<std::string>{"big", "taken"}));
  EXPECT_EQ(ReadFile(there / "big") + ReadFile(there / "taken"), big + "theirs");
  EXPECT_FALSE(FileExists(dir / "big"));
}

// A fatal signal deletes the guarded partial files and moves the guarded
// temporaries back, unless the original name was taken meanwhile; files
// not in the registry stay, whatever their names.
TEST(CrashGuard, SignalCleansUpOnlyWhatIsGuarded) {
  TempFolder dir;
  PosixFileSystem fs;
  const std::string partial = PartialName(dir / "copy", 0);
  const std::string stray = PartialName(dir / "other", 0);
  for (const char* name : {"a", "b", "taken"}) WriteFile(dir / name, name);
  WriteFile(partial, "half");
  WriteFile(stray, "not ours");
  const std::string tempA = fs.TemporaryName(dir / "a"), tempB = fs.TemporaryName(dir / "b");
  EXPECT_EQ(tempA, dir / ("a.velmora-move-" + std::to_string(::getpid())));
  ASSERT_TRUE(fs.Move(dir / "a", tempA).ok());
  ASSERT_TRUE(fs.Move(dir / "b", tempB).ok());

  const int status = InChild([&] {
    InstallCrashHandler();
    GuardPartialFile(partial);
    GuardTemporary(tempA, dir / "a");
    GuardTemporary(tempB, dir / "taken");
    Unguard(GuardTemporary(dir / "gone", dir / "x"));
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  const std::vector<std::string> expected = {".other.velmora-part-" + std::to_string(::getpid()),
                                             "a", "b.velmora-move-" + std::to_string(::getpid()),
                                             "taken"};
  EXPECT_EQ(Listing(dir.path()), expected);
  EXPECT_EQ(ReadFile(dir / "a"), "a");
  EXPECT_EQ(ReadFile(dir / "taken"), "taken");
}

// Guarded through a folder's descriptor, the guard keeps a descriptor of its
// own: the handler works in that folder even after the caller closed its
// descriptor and the folder was moved away.
TEST(CrashGuard, GuardsWorkInTheFolderTheyWereGivenByDescriptor) {
  TempFolder dir;
  WriteFile(dir / "sub/c.velmora-move-1", "c");
  WriteFile(dir / "sub/.d.velmora-part-1", "half");
  const int status = InChild([&] {
    InstallCrashHandler();
    const int sub = ::open((dir / "sub").c_str(), O_PATH | O_DIRECTORY);
    GuardTemporary(dir / "sub/c.velmora-move-1", dir / "sub/c", sub);
    GuardPartialFile(".d.velmora-part-1", sub);
    ::close(sub);
    if (::rename((dir / "sub").c_str(), (dir / "moved").c_str()) != 0) ::_exit(1);
    ::mkdir((dir / "sub").c_str(), 0700);
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(Listing(dir / "moved"), std::vector<std::string>{"c"});
  EXPECT_EQ(Listing(dir / "sub"), std::vector<std::string>{});
}

// Root copying another user's set-uid, set-gid program owns the copy and
// so gets no special bits; a move keeps owner and bits.
TEST(PosixFileSystem, SpecialBitsOnlyWithTheOwnerKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to own a file for another user";
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "tool", "#!/bin/sh\n");
  ASSERT_EQ(::chown((dir / "tool").c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod((dir / "tool").c_str(), 06755), 0);
  ASSERT_TRUE(fs.Copy(dir / "tool", dir / "copy").ok());
  EXPECT_EQ(StatOf(dir / "copy").st_mode & 07777, 0755u);
  EXPECT_EQ(StatOf(dir / "copy").st_uid, 0u);

  ASSERT_EQ(::chown((dir / "copy").c_str(), 0, 0), 0);
  ASSERT_EQ(::chmod((dir / "copy").c_str(), 06755), 0);
  ASSERT_TRUE(fs.Copy(dir / "copy", dir / "own").ok());
  EXPECT_EQ(StatOf(dir / "own").st_mode & 07777, 06755u);

  const std::string base = OtherFileSystem();
  if (base.empty()) GTEST_SKIP() << "no second file system for a move";
  TempFolder there(base);
  ASSERT_TRUE(fs.Move(dir / "tool", there / "tool").ok());
  EXPECT_EQ(StatOf(there / "tool").st_mode & 07777, 06755u);
  EXPECT_EQ(StatOf(there / "tool").st_uid, 65534u);
}

// A folder is no file: not found, not deleted, and under the target name
// no file to ask about overwriting.
TEST(PosixFileSystem, GetFileDeleteAndSameFile) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "a", "A");
  WriteFile(dir / "b", "A");
  ::link((dir / "a").c_str(), (dir / "link").c_str());
  ::mkdir((dir / "sub").c_str(), 0700);

  EXPECT_EQ(fs.GetFile(dir / "sub").number, kFileNotFound);
  for (const Error& error : {fs.Move(dir / "b", dir / "sub"), fs.Copy(dir / "b", dir / "sub")}) {
    EXPECT_EQ(error.description, std::strerror(EISDIR));
  }
  EXPECT_TRUE(fs.SameFile(dir / "a", dir / "link"));
  EXPECT_FALSE(fs.SameFile(dir / "a", dir / "b"));
  EXPECT_FALSE(fs.SameFile(dir / "a", dir / "gone"));
  EXPECT_TRUE(fs.Delete(dir / "a").ok());
  EXPECT_EQ(fs.GetFile(dir / "a").number, kFileNotFound);
  EXPECT_EQ(fs.Delete(dir / "a").number, kFileNotFound);
  EXPECT_FALSE(fs.Delete(dir / "sub").ok());
  EXPECT_TRUE(FileExists(dir / "sub"));
}

// Where the file system clones, a copy shares the source's blocks and is
// still a whole, separate file.
TEST(PosixFileSystem, CopyOnBtrfsSharesTheBlocks) {
  LoopVolume volume("mkfs.btrfs -q", "mount", "128M");
  if (!volume.reason().empty()) GTEST_SKIP() << "btrfs: " << volume.reason();
  const std::string bytes(8 << 20, 'x');
  WriteFile(volume / "a", bytes);
  ::sync();
  ASSERT_TRUE(PosixFileSystem().Copy(volume / "a", volume / "b").ok());
  ::sync();
  EXPECT_TRUE(Shell("filefrag -v " + volume / "b" + " | grep -q shared"));
  WriteFile(volume / "a", "changed");
  EXPECT_EQ(ReadFile(volume / "b"), bytes);
}

// Within a file system too a link is copied as a new link (across file
// systems: the command line's test), and never onto a taken name.
TEST(PosixFileSystem, LinksAreCopiedAsLinks) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "secret", "secret");
  ASSERT_EQ(::symlink((dir / "secret").c_str(), (dir / "link").c_str()), 0);
  ASSERT_TRUE(fs.Copy(dir / "link", dir / "copy").ok());
  EXPECT_EQ(std::filesystem::read_symlink(dir / "copy"), dir / "secret");
  EXPECT_EQ(fs.Copy(dir / "link", dir / "copy").number, kFileExists);
}

// The copy is made with the source's rights and changed only where the umask
// took some away; a source nobody may write still copies. The identity the
// copy tells is the one a look by name finds.
TEST(PosixFileSystem, CopyKeepsRightsWhateverTheUmask) {
  TempFolder dir;
  PosixFileSystem fs;
  WriteFile(dir / "a", "bytes");
  const std::tuple<mode_t, mode_t> rows[] = {
      {0644, 022}, {0644, 077}, {0444, 022}, {0777, 0}, {0750, 027}};
  int n = 0;
  for (const auto& [mode, mask] : rows) {
    ASSERT_EQ(::chmod((dir / "a").c_str(), mode), 0);
    const std::string copy = dir / ("c" + std::to_string(++n));
    const mode_t old = ::umask(mask);
    std::optional<FileIdentity> made;
    const Error error = fs.CopyAndIdentify(dir / "a", copy, made);
    ::umask(old);
    ASSERT_TRUE(error.ok()) << copy;
    const struct stat st = StatOf(copy);
    EXPECT_EQ(st.st_mode & 07777, mode) << copy;
    ASSERT_TRUE(made.has_value()) << copy;
    EXPECT_EQ(*made, IdentityOfStat(st)) << copy;
  }
}

// Holes stay holes: a 1 GiB file with two written blocks takes two blocks'
// room as a copy, here and on another file system.
TEST(PosixFileSystem, CopyKeepsHoles) {
  const std::string base = OtherFileSystem();
  TempFolder dir, there(base.empty() ? dir.path() : base);
  const std::string sparse = dir / "sparse";
  {
    const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
    ASSERT_EQ(::pwrite(fd, "tail", 4, (1 << 29) + 5), 4);
    ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
    ::close(fd);
  }
  if (StatOf(sparse).st_blocks * 512 > (1 << 20))
    GTEST_SKIP() << "no holes in the temporary folder";
  PosixFileSystem fs;
  for (const std::string& copy : {dir / "copy", there / "copy"}) {
    ASSERT_TRUE(fs.Copy(sparse, copy).ok()) << copy;
    EXPECT_EQ(StatOf(copy).st_size, off_t{1} << 30) << copy;
    EXPECT_LE(StatOf(copy).st_blocks * 512, 1 << 20) << copy;
    char tail[4] = {};
    const int fd = ::open(copy.c_str(), O_RDONLY);
    EXPECT_EQ(::pread(fd, tail, 4, (1 << 29) + 5), 4);
    ::close(fd);
    EXPECT_EQ(std::string(tail, 4), "tail") << copy;
  }
}

TEST(ErrorFromErrno, MapsToTheMessageTableWithEachUsesOwnReading) {
  const std::tuple<int, ErrnoUse, int> rows[] = {
      // errno, use, error number
      {ENOENT, ErrnoUse::kFile, 53},       {EEXIST, ErrnoUse::kFile, 58},
      {ENOSPC, ErrnoUse::kFile, 61},       {EACCES, ErrnoUse::kFile, 70},
      {EPERM, ErrnoUse::kFile, 70},        {EROFS, ErrnoUse::kFile, 75},
      {EIO, ErrnoUse::kFile, 57},          {ENOTDIR, ErrnoUse::kFile, 76},
      {ENAMETOOLONG, ErrnoUse::kFile, 52}, {EROFS, ErrnoUse::kTag, 70},
      {EBUSY, ErrnoUse::kTag, 70},         {ENOENT, ErrnoUse::kTag, 53},
      {ENOENT, ErrnoUse::kFolder, 76},     {EACCES, ErrnoUse::kFolder, 70},
  };
  for (const auto& [err, use, number] : rows) {
    const Error error = ErrorFromErrno(err, use);
    EXPECT_EQ(error.number, number) << err << " as " << static_cast<int>(use);
    EXPECT_EQ(error.description, std::strerror(err)) << err;
  }
  EXPECT_TRUE(ErrorFromErrno(0).ok());
}

}  // namespace
}  // namespace velmora
