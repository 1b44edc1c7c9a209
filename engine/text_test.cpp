#include <gtest/gtest.h>

#include "engine/text.h"

namespace velmora {
namespace {

TEST(CharLength, CountsCodePointsAndInvalidBytes) {
  struct Row {
    const char* text;
    std::size_t length;
  };
  for (const Row& row : {Row{"", 0}, Row{"abc", 3}, Row{"über.mp3", 8}, Row{"€", 1},
                         Row{"\xF0\x9F\x8E\xB5.mp3", 5},  // one four-byte character
                         Row{"a\xFF" "b", 3}, Row{"\xC3", 1},
                         Row{"\xE2\x82", 2},             // truncated sequence
                         Row{"\xC0\xAF", 2},             // overlong form
                         Row{"\xED\xA0\x80", 3},         // surrogate
                         Row{"\x80\x80", 2}}) {
    EXPECT_EQ(CharLength(row.text), row.length) << row.text;
  }
}

TEST(CharPositions, CutOnCharacters) {
  const std::string name = "über.mp3";
  EXPECT_EQ(MidChars(name, 2, 1), "b");
  EXPECT_EQ(LeftChars(name, 1), "ü");
  EXPECT_EQ(RightChars(name, 3), "mp3");
  EXPECT_EQ(RightChars(name, 8), name);
  EXPECT_EQ(RightChars(name, 99), name);
  EXPECT_EQ(MidChars(name, 9), "");
  EXPECT_EQ(MidChars(name, 0), name);
  EXPECT_EQ(ByteOffsetOfChar(name, 2), 2u);
  EXPECT_EQ(ByteOffsetOfChar(name, 99), name.size());
  const std::string bad = "a\xE2\x82z";
  EXPECT_EQ(MidChars(bad, 3, 1), "\x82");
  EXPECT_EQ(LeftChars(bad, 2), "a\xE2");
}

TEST(FindText, CaseSensitiveOnCharacterBoundaries) {
  struct Row {
    const char* text;
    const char* needle;
    std::size_t position;
  };
  for (const Row& row : {Row{"Titel - Interpret.mp3", "-", 7}, Row{"über.mp3", "b", 2},
                         Row{"über.mp3", "Über", 0}, Row{"abc", "", 1}, Row{"", "a", 0},
                         Row{"a-b-c", "-c", 4}, Row{"ab", "abc", 0},
                         // Never matches half a sequence: "ä" is C3 A4.
                         Row{"xä", "\xC3", 0}, Row{"xä", "\xA4", 0},
                         Row{"\xC3x\xC3", "\xC3", 1}, Row{"x€\xE2\x82", "\xE2\x82", 3},
                         Row{"\xFF\xFF-", "-", 3}}) {
    EXPECT_EQ(FindText(row.text, row.needle), row.position)
        << "'" << row.needle << "' in '" << row.text << "'";
  }
}

TEST(FindTextNoCase, FoldsAsciiAndLatinOneLetters) {
  struct Row {
    const char* text;
    const char* needle;
    std::size_t position;
  };
  for (const Row& row : {Row{"abcABC.txt", "ABC", 1}, Row{"Titel", "tItEl", 1},
                         Row{"xÜber", "über", 2}, Row{"xüber", "ÜBER", 2},
                         Row{"ÀÉÎÕÞ", "àéîõþ", 1}, Row{"a×b", "a÷b", 0},
                         Row{"a÷b", "A÷B", 1}, Row{"ß", "SS", 0}, Row{"ÿ", "Ÿ", 0},
                         Row{"xä", "\xC3", 0}, Row{"q\x84Ä", "\xA4", 0},
                         Row{"aaa", "", 1}}) {
    EXPECT_EQ(FindTextNoCase(row.text, row.needle), row.position)
        << "'" << row.needle << "' in '" << row.text << "'";
  }
}

TEST(ReplaceAll, LeftToRightWithoutOverlaps) {
  EXPECT_EQ(ReplaceAll("a-b-c", "-", "+"), "a+b+c");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("über über", "ü", "ue"), "ueber ueber");
  EXPECT_EQ(ReplaceAll("ä", "\xC3", "x"), "ä");
}

}  // namespace
}  // namespace velmora
