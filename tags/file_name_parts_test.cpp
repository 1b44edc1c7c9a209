#include "tags/file_name_parts.h"

#include <gtest/gtest.h>

#include "engine/path.h"

namespace velmora {
namespace {

TEST(SplitFileNameParts, Table) {
  const char* rows[][5] = {
      // name, separator, part 1, part 2, part 3
      {"Artist - Title - Album.mp3", " - ", "Artist", "Title", "Album"},
      {"A - B - C - D.mp3", " - ", "A", "B", "C - D"},
      {"Artist - Title.mp3", " - ", "Artist", "Title", ""},
      {"Artist-Title.mp3", " - ", "Artist-Title", "", ""},
      {"Artist - Title.mp3", "", "Artist - Title", "", ""},
      {"aXb.mp3", "x", "aXb", "", ""},
      {"a.b - c.mp3", " - ", "a.b", "c", ""},
      {"Müller – Grüße.mp3", " – ", "Müller", "Grüße", ""},
  };
  const std::string folder = std::string("musik") + kPathSeparator + "a - b" + kPathSeparator;
  for (const auto& row : rows) {
    Error error;
    const FileNameParts parts = SplitFileNameParts(folder + row[0], row[1], &error);
    EXPECT_FALSE(error) << row[0];
    EXPECT_EQ(parts.part1, row[2]) << row[0];
    EXPECT_EQ(parts.part2, row[3]) << row[0];
    EXPECT_EQ(parts.part3, row[4]) << row[0];
  }
  Error error;
  EXPECT_EQ(SplitFileNameParts("Artist - Title", " - ", &error).part1, "");
  EXPECT_EQ(error.number, 5);
}

}  // namespace
}  // namespace velmora
