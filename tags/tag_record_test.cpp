#include "tags/tag_record.h"

#include <gtest/gtest.h>

#include "engine/error_numbers.h"
#include "services/posix_file_system.h"
#include "tags/genre.h"
#include "tags/tag_test_support.h"
#include "tests/support/fake_file_system.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// A tag as other tools write it: fields padded with NULs.
std::string RawTag(std::string title, const std::string& marker = "TAG") {
  title.resize(30, '\0');
  return marker + title + std::string(30, '\0') + "Album" + std::string(25, '\0') + "1999" +
         std::string(30, '\0') + '\x11';
}

TagRecord Sample() { return Record("Neuer Titel", "Künstler", 13); }

TEST(ReadTag, Fields) {
  struct Row {
    std::string bytes, title;
    int genre;
  } rows[] = {
      {Audio(500) + RawTag("Song"), "Song", 17},
      {Audio(500) + RawTag("Song", "tag"), "", 0},  // marker is case-sensitive
      {RawTag("Nur Tag"), "Nur Tag", 17},           // exactly 128 bytes
      {Audio(9) + RawTag(std::string("abc\0def", 7)), "abc", 17},
      {Audio(9) + RawTag("Band  "), "Band  ", 17},  // trailing blanks stay
  };
  for (const Row& row : rows) {
    FakeFileSystem disk;
    RecordingReporter reporter;
    disk.AddFile("/f.mp3", row.bytes);
    const TagRecord record = ReadTag(disk, "/f.mp3", reporter);
    EXPECT_EQ(FieldText(record.title), row.title);
    EXPECT_EQ(FieldText(record.album), row.title.empty() ? "" : "Album");
    EXPECT_EQ(record.genre, row.genre) << row.title;
    EXPECT_TRUE(reporter.reports.empty());
  }
}

// On the real disk: what opening refuses (a folder, a missing file).
TEST(TagFile, FailuresAreReportedAndChangeNothing) {
  TempFolder folder;
  PosixFileSystem disk;
  const std::string shortFile = folder / "short.mp3", plain = folder / "plain.mp3",
                    notes = folder / "notes.txt";
  WriteFile(shortFile, "TAG" + Audio(97));
  for (const std::string& path : {plain, notes}) WriteFile(path, Audio(300));
  TagRecord unmarked = Sample();
  unmarked.tag = {'t', 'a', 'g'};
  struct Row {
    std::string path;
    TagRecord record;
    int number;
    bool read;
  } rows[] = {{shortFile, Sample(), 63, true}, {shortFile, Sample(), 63, false},
              {folder / "gone", {}, 53, true}, {folder / "gone", Sample(), 53, false},
              {folder / "", {}, 75, true},     {folder / "", Sample(), 75, false},
              {plain, unmarked, 5, false},     {notes, Sample(), 321, false}};
  for (const Row& row : rows) {
    RecordingReporter reporter;
    if (row.read) {
      EXPECT_EQ(ReadTag(disk, row.path, reporter), TagRecord{});
    } else {
      EXPECT_EQ(WriteTag(disk, row.path, row.record, reporter).number, row.number);
    }
    ASSERT_EQ(reporter.reports.size(), 1u) << row.path;
    EXPECT_EQ(reporter.reports[0].Where(), (row.read ? "22 " : "23 ") + std::to_string(row.number) +
                                               (row.read ? " Fehler beim Lesen des Tag's|"
                                                         : " Fehler beim Schreiben des Tag's|") +
                                               row.path);
  }
  EXPECT_EQ(ReadFile(shortFile) + ReadFile(plain) + ReadFile(notes),
            "TAG" + Audio(97) + Audio(300) + Audio(300));
  EXPECT_FALSE(FileExists(folder / "gone"));
}

// The disk fills up halfway through the record: an appended half is cut off
// again, an overwritten half gets the old record back.
TEST(WriteTag, FailedWriteLeavesTheFileAsItWas) {
  for (const std::string& original : {Audio(4000), Audio(4000) + RawTag("Alt")}) {
    FakeFileSystem disk;
    RecordingReporter reporter;
    disk.AddFile("/full.mp3", original);
    // Open, Stamp, ReadAt, Stamp (still the file read), WriteAt
    disk.FailCall(5, {kDiskFull, "No space left on device"});
    EXPECT_EQ(WriteTag(disk, "/full.mp3", Sample(), reporter).number, kDiskFull);
    EXPECT_EQ(disk.calls.at(4), "WriteAt /full.mp3");
    EXPECT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(disk.Content("/full.mp3"), original);
  }
}

TEST(SetFieldText, CutsAndPadsByCharacters) {
  const std::string rows[][2] = {
      {"abcde", "abcde" + std::string(25, ' ')},
      {std::string(35, 'x'), std::string(30, 'x')},
      {std::string(29, 'a') + "üß", std::string(29, 'a') + "\xFC"},  // never half a letter
      {"日本", "??" + std::string(28, ' ')},
  };
  for (const auto& row : rows) {
    TagRecord record;
    SetFieldText(record.title, row[0]);
    EXPECT_EQ(std::string(record.title.begin(), record.title.end()), row[1]) << row[0];
  }
  TagRecord record;
  SetFieldText(record.year, "20245");
  EXPECT_EQ(FieldText(record.year), "2024");
}

TEST(Genre, NamesAndIndex) {
  const std::pair<int, const char*> names[] = {
      {0, "Blues"}, {14, "R_B"}, {115, "Folklore"}, {116, "Undefined"}, {255, "Undefined"}};
  for (const auto& [genre, name] : names) EXPECT_EQ(GenreNames()[genre], name);
  const std::pair<const char*, int> indexes[] = {{"Rock", 17}, {"rock", 12}, {"Undefined", 12},
                                                 {"Metal", 9}, {"", 255},    {"Folklore", 115}};
  for (const auto& [name, genre] : indexes) EXPECT_EQ(GenreIndex(name), genre) << name;
  // 255 is no genre: shown as nothing, like the genre of a file without tag.
  EXPECT_EQ(GenreText(254) + "|" + GenreText(255) + "|" + GenreText(TagRecord{}), "Undefined||");
  EXPECT_EQ(GenreText(Record("", "", 0)), "Blues");
}

}  // namespace
}  // namespace velmora
