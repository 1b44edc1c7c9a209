// A tag that no longer fits its room makes a new copy of the file: the copy
// keeps everything of the original but the tag (ACL or none, mode,
// extended attributes, holes), undo keeps them too, and a file with a
// second name is left alone instead of being split from it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>

#include "services/posix_file_system.h"
#include "tags/tag_file.h"
#include "tags/tag_test_support.h"
#include "tags/tag_undo.h"

namespace velmora {
namespace {

using namespace velmora::testing;

constexpr off_t kSparseSize = 4 << 20;

// A POSIX ACL as the kernel stores it in its system.posix_acl_* attribute:
// version 2, then (tag, permissions, id) per entry in tag order.
std::string Acl(std::initializer_list<std::array<std::uint32_t, 3>> entries) {
  std::string bytes;
  auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
  };
  put(2, 4);
  for (const auto& [tag, perm, id] : entries) put(tag, 2), put(perm, 2), put(id, 4);
  return bytes;
}
constexpr std::uint32_t kUserObj = 1, kUser = 2, kGroupObj = 4, kMask = 0x10, kOther = 0x20;
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

std::string Attribute(const std::string& path, const char* name) {
  char value[256];
  const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
  return n < 0 ? (errno == ENODATA ? "(none)" : "(error)") : std::string(value, n);
}

bool Set(const std::string& path, const char* name, const std::string& value) {
  return ::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0;
}

// A tag without room, audio, a hole of most of the file, audio and a record.
std::string MakeSparse(const std::string& path, const std::string& head) {
  WriteFile(path, head);
  const int fd = ::open(path.c_str(), O_WRONLY);
  const std::string tail = Audio(4096) + Bytes(Record("Alt"));
  (void)!::pwrite(fd, tail.data(), tail.size(), kSparseSize - static_cast<off_t>(tail.size()));
  ::close(fd);
  return ReadFile(path);
}

Error WriteLongTitle(PosixFileSystem& disk, const std::string& path, TagEdits& edits) {
  RecordingReporter reporter;
  TagFile file(disk, path, true);
  file.Read(reporter);
  const Error error =
      file.Write(Record("Neu"), {std::string(300, 'x')}, Id3v2Mode::kAuto, reporter);
  edits = file.edits();
  return error;
}

// With and without an ACL of its own, in a folder whose default ACL would
// let another user in: the copy has the original's ACL or none, its mode and
// user attributes, and its holes; undo gives the bytes and time back.
TEST(TagRewrite, KeepsAclModeAttributesAndHoles) {
  const TempFolder folder;
  const std::string defaultAcl = Acl({{kUserObj, 7, kNoId},
                                      {kUser, 7, 4343},
                                      {kGroupObj, 5, kNoId},
                                      {kMask, 7, kNoId},
                                      {kOther, 5, kNoId}});
  if (!Set(folder.path(), "system.posix_acl_default", defaultAcl)) {
    GTEST_SKIP() << "the file system of " << folder.path() << " has no ACLs";
  }
  const std::string fileAcl = Acl({{kUserObj, 6, kNoId},
                                   {kUser, 4, 4242},
                                   {kGroupObj, 4, kNoId},
                                   {kMask, 4, kNoId},
                                   {kOther, 0, kNoId}});
  const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 0) + Audio(5000);
  for (const bool ownAcl : {true, false}) {
    SCOPED_TRACE(ownAcl ? "own ACL" : "no ACL");
    const std::string path = folder / (ownAcl ? "acl.mp3" : "plain.mp3");
    const std::string original = MakeSparse(path, head);
    // The folder's default ACL gave the new file one; the plain one drops it.
    ASSERT_TRUE(ownAcl ? Set(path, "system.posix_acl_access", fileAcl)
                       : ::removexattr(path.c_str(), "system.posix_acl_access") == 0 &&
                             ::chmod(path.c_str(), 0600) == 0);
    if (!Set(path, "user.velmora.test", "kept")) GTEST_SKIP() << "no user.* attributes here";
    const struct stat before = StatOf(path);
    ASSERT_LT(before.st_blocks * 512, 1 << 20) << "no holes on this file system";

    PosixFileSystem disk;
    TagEdits edits;
    ASSERT_FALSE(WriteLongTitle(disk, path, edits));
    const struct stat after = StatOf(path);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new copy
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), ownAcl ? fileAcl : "(none)");
    EXPECT_EQ(Attribute(path, "user.velmora.test"), "kept");
    EXPECT_LT(after.st_blocks * 512, 1 << 20);
    EXPECT_EQ(ReadFile(path).substr(edits.edits[0].newLength, 5000), Audio(5000));

    ASSERT_FALSE(UndoTagWrite(disk, path, PackTagEdits(edits)));
    EXPECT_TRUE(ReadFile(path) == original);
    const struct stat undone = StatOf(path);
    EXPECT_EQ(undone.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(undone.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(undone.st_mode & 07777, before.st_mode & 07777);
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), ownAcl ? fileAcl : "(none)");
    EXPECT_EQ(Attribute(path, "user.velmora.test"), "kept");
    EXPECT_LT(undone.st_blocks * 512, 1 << 20);
  }
}

// Never split from its other name: the write is refused, naming the file,
// and both names keep the old bytes. A tag that fits goes in place.
TEST(TagRewrite, HardLinkedFileWhoseTagDoesNotFitIsLeftAlone) {
  const TempFolder folder;
  const std::string path = folder / "a.mp3", other = folder / "b.mp3";
  const std::string original =
      Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 0) + Audio(3000);
  WriteFile(path, original);
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  PosixFileSystem disk;
  RecordingReporter reporter;
  TagFile file(disk, path, true);
  file.Read(reporter);
  EXPECT_TRUE(file.Write(Record("Neu"), {std::string(300, 'x')}, Id3v2Mode::kAuto, reporter));
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].file, path);
  EXPECT_NE(reporter.reports[0].description.find("hard links"), std::string::npos);
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_EQ(StatOf(path).st_nlink, 2u);

  TagFile fits(disk, path, true);
  EXPECT_FALSE(fits.Write(Record("Neu"), {"y"}, Id3v2Mode::kNever, reporter));
  EXPECT_EQ(ReadFile(other), original + Bytes(Record("Neu")));
}

}  // namespace
}  // namespace velmora
