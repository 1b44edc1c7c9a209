#include "engine/text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CharLength, CountsCodePointsAndEachInvalidByte) {
  const std::pair<const char*, std::size_t> rows[] = {
      {"über.mp3", 8},
      {"\xF0\x9F\x8E\xB5.mp3", 5},
      {"a\xFF"
       "b",
       3},
      {"\xE2\x82", 2},
      {"\xC0\xAF", 2},      // overlong
      {"\xED\xA0\x80", 3},  // surrogate
  };
  for (const auto& [text, length] : rows) EXPECT_EQ(CharLength(text), length) << text;
}

TEST(CharPositions, CutOnCharacters) {
  EXPECT_EQ(MidChars("über.mp3", 2, 1), "b");
  EXPECT_EQ(LeftChars("über.mp3", 1), "ü");
  EXPECT_EQ(RightChars("über.mp3", 99), "über.mp3");
  EXPECT_EQ(MidChars("über.mp3", 9), "");
  EXPECT_EQ(MidChars("a\xE2\x82z", 3, 1), "\x82");
}

// Case-sensitive or folding ASCII and Latin-1 letters; on character
// boundaries either way.
TEST(FindText, PositionsInCharacters) {
  struct Row {
    bool noCase;
    const char* text;
    const char* needle;
    std::size_t position;
  };
  for (const Row& row :
       {Row{false, "über.mp3", "b", 2}, Row{false, "über.mp3", "Über", 0}, Row{false, "abc", "", 1},
        Row{false, "xä", "\xC3", 0}, Row{false, "xä", "\xA4", 0},  // halves of ä
        Row{false, "\xC3x\xC3", "\xC3", 1}, Row{false, "x€\xE2\x82", "\xE2\x82", 3},
        Row{true, "abcABC", "ABC", 1}, Row{true, "xÜber", "über", 2},
        Row{true, "ÀÉÎÕÞ", "àéîõþ", 1}, Row{true, "a×b", "a÷b", 0}, Row{true, "ß", "SS", 0},
        Row{true, "q\x84Ä", "\xA4", 0}}) {
    EXPECT_EQ((row.noCase ? FindTextNoCase : FindText)(row.text, row.needle), row.position)
        << row.needle << " in " << row.text;
  }
}

TEST(ReplaceAll, LeftToRightWithoutOverlaps) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("ä", "\xC3", "x"), "ä");
}

}  // namespace
}  // namespace velmora
