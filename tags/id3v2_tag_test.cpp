#include "tags/id3v2_tag.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include "engine/error_numbers.h"
#include "services/posix_file_system.h"
#include "tags/tag_file.h"
#include "tags/tag_test_support.h"
#include "tests/support/fake_file_system.h"

namespace velmora {
namespace {

using namespace velmora::testing;

std::string Text(int major, const std::string& id, const std::string& text) {
  return Id3v2Frame(major, id, Latin1Body(text));
}

// A 2.3 tag as players leave it: the editor's fields, an iTunes comment, a
// picture, a track number and a 2.3-only volume frame.
std::string PlayerTag(std::size_t padding) {
  const std::string frames =
      Text(3, "TIT2", "Alter Titel") + Text(3, "TPE1", "Wer") + Text(3, "TALB", "Platte") +
      Text(3, "TYER", "1999") + Text(3, "TCON", "(17)") + Text(3, "TRCK", "7/12") +
      Id3v2Frame(3, "COMM", std::string("\0eng", 4) + "iTunNORM" + '\0' + " 0000 1111") +
      Id3v2Frame(3, "COMM", std::string("\0eng", 4) + '\0' + "alt") +
      Id3v2Frame(3, "APIC", std::string("\0image/png\0\3\0", 13) + "PNGDATA") +
      Id3v2Frame(3, "RVAD", std::string("\3\x10\1\2\3\4", 6));
  return Id3v2Bytes(3, frames, padding);
}

std::string RecordBytes(const std::string& title) { return Bytes(Record(title)); }

class Id3v2Test : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes) {
    WriteFile(folder / name, bytes);
    return folder / name;
  }
  std::optional<Id3v2Values> Read(const std::string& path) {
    return TagFile(*disk, path, false).ReadId3v2(reporter);
  }
  // Writes the record and changes; returns the write's edits.
  TagEdits Write(const std::string& path, const Id3v2Changes& changes,
                 Id3v2Mode mode = Id3v2Mode::kAuto, const std::string& title = "Neu") {
    TagFile file(*disk, path, true);
    file.Read(reporter);
    file.ReadId3v2(reporter);
    (void)file.Write(Record(title), changes, mode, reporter);  // the tests read the reports
    return file.edits();
  }

  TempFolder folder;
  PosixFileSystem posix;
  FileSystem* disk = &posix;
  RecordingReporter reporter;
  const std::string audio = Audio(5000);
};

// The players' fields are read; new values that fit the padding are written
// in place: same inode, same length, audio untouched; every frame the run
// does not set survives.
TEST_F(Id3v2Test, WritesInPlaceAndKeepsOtherFrames) {
  const std::string original = PlayerTag(400) + audio;
  const std::string path = Make("a.mp3", original);
  EXPECT_EQ(Read(path)->fields, (std::array<std::string, kId3Fields>{"Alter Titel", "Wer", "Platte",
                                                                     "alt", "1999", "Rock"}));
  const ino_t inode = StatOf(path).st_ino;
  const std::string title = "Ein Titel mit Umlauten äöü ß € und mehr als dreißig";
  const TagEdits edits = Write(path, {title, {}, {}, "neu", {}, "ClassicRock"});
  ASSERT_TRUE(reporter.reports.empty()) << reporter.reports[0].description;
  ASSERT_EQ(edits.edits.size(), 2u);
  EXPECT_EQ(edits.edits[0].oldBytes, PlayerTag(400));
  EXPECT_EQ(edits.edits[0].newLength, static_cast<long long>(PlayerTag(400).size()));

  EXPECT_EQ(StatOf(path).st_ino, inode);
  const std::string now = ReadFile(path);
  ASSERT_EQ(now.size(), original.size() + 128);
  EXPECT_EQ(now.substr(PlayerTag(400).size(), audio.size()), audio);
  EXPECT_EQ(now.substr(0, 4), std::string("ID3\3"));
  for (const char* kept : {"APIC", "TRCK", "RVAD", "iTunNORM", "PNGDATA", "TALB"}) {
    EXPECT_NE(now.find(kept), std::string::npos) << kept;
  }
  EXPECT_NE(now.find("Classic Rock"), std::string::npos);  // the standard name

  const std::optional<Id3v2Values> values = Read(path);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->version, "2.3");
  // Album and year are not set: as stored.
  EXPECT_EQ(values->fields, (std::array<std::string, kId3Fields>{title, "Wer", "Platte", "neu",
                                                                 "1999", "ClassicRock"}));
  EXPECT_EQ(values->track, "7/12");
}

// No padding: the tag grows, so the file is rewritten beside itself and
// renamed over; mode and audio kept, no temporary file left.
TEST_F(Id3v2Test, GrowingTagRewritesTheFile) {
  const std::string path = Make("a.mp3", PlayerTag(0) + audio);
  ::chmod(path.c_str(), 0640);
  const TagEdits edits = Write(path, {std::string(45, 'x')});
  ASSERT_TRUE(reporter.reports.empty()) << reporter.reports[0].description;
  ASSERT_EQ(edits.edits.size(), 2u);
  EXPECT_EQ(edits.edits[0].oldBytes, PlayerTag(0));
  const std::string now = ReadFile(path);
  const std::size_t tagEnd = static_cast<std::size_t>(edits.edits[0].newLength);
  EXPECT_GT(tagEnd, PlayerTag(0).size());
  EXPECT_EQ(now.substr(tagEnd, audio.size()), audio);
  EXPECT_EQ(now.substr(tagEnd + audio.size()), RecordBytes("Neu"));  // the record too
  EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u);
  EXPECT_EQ(Listing(folder.path()), Names{"a.mp3"});
  EXPECT_EQ(Read(path)->fields[kId3Title], std::string(45, 'x'));
}

// "immer" creates a 2.4 tag only where none is and only in *.mp3 files;
// "wenn vorhanden" creates none; "nie" leaves even an existing tag alone.
TEST_F(Id3v2Test, TheThreeSettings) {
  const Id3v2Changes changes = {"Neu", {}, {}, {}, "2024"};
  struct Row {
    Id3v2Mode mode;
    std::string name, bytes;
    const char* version;  // read back; nullptr: none
  } rows[] = {
      {Id3v2Mode::kAuto, "auto-none.mp3", audio, nullptr},
      {Id3v2Mode::kAlways, "always-none.mp3", audio, "2.4"},
      {Id3v2Mode::kAlways, "always-none.wav", audio + RecordBytes("x"), nullptr},
      {Id3v2Mode::kAlways, "always-23.mp3", PlayerTag(100) + audio, "2.3"},
      {Id3v2Mode::kAuto, "auto-24.mp3", Id3v2Bytes(4, Text(4, "TIT2", "a"), 50) + audio, "2.4"},
      {Id3v2Mode::kAuto, "auto-22.mp3", Id3v2Bytes(2, Text(2, "TT2", "a"), 50) + audio, "2.3"},
  };
  for (const Row& row : rows) {
    Write(Make(row.name, row.bytes), changes, row.mode);
    const std::optional<Id3v2Values> values = Read(folder / row.name);
    ASSERT_EQ(values.has_value(), row.version != nullptr) << row.name;
    if (!values) continue;
    EXPECT_EQ(values->version, row.version) << row.name;
    EXPECT_EQ(values->fields[kId3Title], "Neu") << row.name;
    EXPECT_EQ(values->fields[kId3Year], "2024") << row.name;
  }
  const std::string tagged = Make("never.mp3", PlayerTag(100) + audio);
  Write(tagged, changes, Id3v2Mode::kNever);
  EXPECT_EQ(ReadFile(tagged), PlayerTag(100) + audio + RecordBytes("Neu"));
  EXPECT_TRUE(reporter.reports.empty());
}

// A rewrite that runs out of room is reported with the file named and
// leaves the file as it was, the ID3v1 record included, without the new copy.
TEST_F(Id3v2Test, FullDiskLeavesTheFileWhole) {
  FakeFileSystem fake;
  disk = &fake;
  fake.AddFile("/M/a.mp3", PlayerTag(0) + audio + RecordBytes("Alt"));
  fake.Fail("WriteAt /M/.a.mp3.velmora-1", {kDiskFull, "No space left on device"});
  Write("/M/a.mp3", {std::string(200, 'y')});
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].Where(),
            "23 " + std::to_string(kDiskFull) + " Fehler beim Schreiben des Tag's|/M/a.mp3");
  EXPECT_EQ(fake.Content("/M/a.mp3"), PlayerTag(0) + audio + RecordBytes("Alt"));
  EXPECT_EQ(fake.Files(), std::vector<std::string>{"/M/a.mp3"});
}

// A read-only file is reported once and nothing changes.
TEST_F(Id3v2Test, ReadOnlyFileIsReportedOnce) {
  TempFolder mount;
  const bool root = ::geteuid() == 0;
  if (root && ::mount("tmpfs", mount.path().c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs to make read-only (needs root)";
  }
  const std::string original = PlayerTag(100) + audio + RecordBytes("Alt");
  const std::string path = mount / "a.mp3";
  WriteFile(path, original);
  if (root) {
    ::mount("tmpfs", mount.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m");
  } else {
    ::chmod(path.c_str(), 0444);
  }
  Write(path, {"Neu"});
  EXPECT_EQ(ReadFile(path), original);
  if (root) ::umount(mount.path().c_str());
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].Where(), "23 70 Fehler beim Schreiben des Tag's|" + path);
}

}  // namespace
}  // namespace velmora
