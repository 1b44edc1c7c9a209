#include "tags/windows1252.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Windows1252, RoundTripsEveryByteAndGermanText) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
  EXPECT_EQ(Utf8ToWindows1252("Grüße „Straße“ 5 €"),
            "Gr\xFC\xDF"
            "e \x84Stra\xDF"
            "e\x93 5 \x80");
  EXPECT_EQ(Windows1252ToUtf8("\xC4\xD6\xDC\xE4\xF6\xFC\xDF\x96"), "ÄÖÜäöüß–");
}

TEST(Windows1252, UnrepresentableBecomesOneQuestionMark) {
  const char* rows[][2] = {
      {"日本", "??"},        {"a\xF0\x9F\x8E\xB5z", "a?z"},  // per character, not per byte
      {"\xE4rger", "?rger"}, {"x\xC3", "x?"},                // invalid and cut-off UTF-8
      {"\xC0\xAF", "??"},    {"\xC2\x80", "?"},              // overlong; U+0080 not in the table
  };
  for (const auto& row : rows) EXPECT_EQ(Utf8ToWindows1252(row[0]), row[1]) << row[0];
}

}  // namespace
}  // namespace velmora
