#include "tags/id3v2_tag.h"

#include <sys/mount.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tags/tag_file.h"
#include "tags/tag_test_support.h"

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

std::string Record(const std::string& title) {
  TagRecord record;
  record.tag = {'T', 'A', 'G'};
  SetFieldText(record.title, title);
  const TagBytes bytes = ToBytes(record);
  return std::string(bytes.begin(), bytes.end());
}

class Id3v2Test : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes) {
    WriteFile(folder / name, bytes);
    return folder / name;
  }
  std::optional<Id3v2Values> Read(const std::string& path) {
    return TagFile(path, false).ReadId3v2(reporter);
  }
  // Writes the record and changes; returns what was replaced.
  ReplacedTagBytes Write(const std::string& path, const Id3v2Changes& changes,
                         Id3v2Mode mode = Id3v2Mode::kAuto, const std::string& title = "Neu") {
    TagFile file(path, true);
    file.Read(reporter);
    file.ReadId3v2(reporter);
    TagRecord record = FromBytes([&] {
      TagBytes bytes{};
      const std::string r = Record(title);
      std::copy(r.begin(), r.end(), bytes.begin());
      return bytes;
    }());
    file.Write(record, changes, mode, reporter);
    return file.replaced();
  }

  TempFolder folder;
  RecordingReporter reporter;
  const std::string audio = Audio(5000);
};

TEST_F(Id3v2Test, ReadsThePlayersFields) {
  const std::string path = Make("a.mp3", PlayerTag(200) + audio);
  const std::optional<Id3v2Values> values = Read(path);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->version, "2.3");
  const std::array<std::string, kId3Fields> expected = {"Alter Titel", "Wer", "Platte",
                                                        "alt", "1999", "Rock"};
  EXPECT_EQ(values->fields, expected);
  EXPECT_EQ(values->track, "7/12");
  EXPECT_FALSE(Read(Make("b.mp3", audio)));
  EXPECT_TRUE(reporter.reports.empty());
}

// New values that fit the padding are written in place: same inode, same
// length, audio untouched; every frame the run does not set survives.
TEST_F(Id3v2Test, WritesInPlaceAndKeepsOtherFrames) {
  const std::string original = PlayerTag(400) + audio;
  const std::string path = Make("a.mp3", original);
  struct stat before {};
  ::stat(path.c_str(), &before);
  const std::string title = "Ein Titel mit Umlauten äöü ß € und mehr als dreißig";
  Id3v2Changes changes;
  changes[kId3Title] = title;
  changes[kId3Comment] = "neu";
  changes[kId3Genre] = "ClassicRock";
  const ReplacedTagBytes replaced = Write(path, changes);
  ASSERT_TRUE(reporter.reports.empty()) << reporter.reports[0].description;
  ASSERT_TRUE(replaced.id3v2Written);
  EXPECT_FALSE(replaced.id3v2.rewritten);
  EXPECT_EQ(replaced.id3v2.oldBytes, PlayerTag(400));

  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
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
  EXPECT_EQ(values->fields[kId3Title], title);
  EXPECT_EQ(values->fields[kId3Album], "Platte");  // not set: as stored
  EXPECT_EQ(values->fields[kId3Year], "1999");
  EXPECT_EQ(values->fields[kId3Comment], "neu");
  EXPECT_EQ(values->fields[kId3Genre], "ClassicRock");
  EXPECT_EQ(values->track, "7/12");
}

}  // namespace
}  // namespace velmora
