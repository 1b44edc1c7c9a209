#include <gtest/gtest.h>

#include "engine/numeric.h"

namespace velmora {
namespace {

TEST(IsNumeric, Grammar) {
  for (const char* yes : {"0", "12", " 12 ", "+3", "-3", "2.5", "2,5", "007", "\t4",
                          "123456789012345678901234567890"}) {
    EXPECT_TRUE(IsNumeric(yes)) << yes;
  }
  for (const char* no : {"", " ", "-", "1e3", "0x10", "12abc", "1.2.3", "1 2", ".5", "5.",
                         "- 5", "++1", "½", "１"}) {
    EXPECT_FALSE(IsNumeric(no)) << no;
  }
}

TEST(ToInt32, RoundsToNearestHalvesToEven) {
  struct Row {
    const char* text;
    int value;
  };
  for (const Row& row : {Row{"7", 7}, Row{"-7", -7}, Row{"2,4", 2}, Row{"2.6", 3},
                         Row{"2.5", 2}, Row{"3.5", 4}, Row{"-2.5", -2}, Row{"2.50001", 3},
                         Row{"0.5", 0}, Row{"1.4999999999999999999", 1},
                         Row{"2147483647", 2147483647}, Row{"-2147483648", -2147483647 - 1},
                         Row{"2147483646.5", 2147483646}, Row{" 0010 ", 10}}) {
    const IntResult result = ToInt32(row.text);
    EXPECT_TRUE(result.error.ok()) << row.text;
    EXPECT_EQ(result.value, row.value) << row.text;
  }
}

TEST(ToInt32, FailuresCarryTheirNumbers) {
  struct Row {
    const char* text;
    int number;
  };
  for (const Row& row : {Row{"abc", 13}, Row{"", 13}, Row{"1e3", 13}, Row{"2147483648", 6},
                         Row{"2147483647.5", 6}, Row{"-2147483649", 6},
                         Row{"99999999999999999999999", 6}}) {
    const IntResult result = ToInt32(row.text);
    EXPECT_EQ(result.error.number, row.number) << row.text;
    EXPECT_FALSE(result.error.description.empty()) << row.text;
  }
}

TEST(ToInt16, Range) {
  EXPECT_EQ(ToInt16("32767").value, 32767);
  EXPECT_EQ(ToInt16("-32768").value, -32768);
  EXPECT_EQ(ToInt16("32768").error.number, 6);
  EXPECT_EQ(ToInt16("-32768.6").error.number, 6);
}

TEST(RoundNumeric, ZeroAndSign) {
  EXPECT_TRUE(RoundNumeric("0,4").IsZero());
  EXPECT_TRUE(RoundNumeric("-0").IsZero());
  EXPECT_FALSE(RoundNumeric("-0").IsNegative());
  EXPECT_TRUE(RoundNumeric("-1").IsNegative());
  EXPECT_FALSE(RoundNumeric("x").IsZero());
}

}  // namespace
}  // namespace velmora
