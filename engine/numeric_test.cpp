#include "engine/numeric.h"

#include <gtest/gtest.h>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

TEST(IsNumeric, Grammar) {
  for (const char* yes :
       {"0", " 12 ", "+3", "-3", "2,5", "007", "123456789012345678901234567890"}) {
    EXPECT_TRUE(IsNumeric(yes)) << yes;
  }
  for (const char* no : {"", " ", "-", "1e3", "0x10", "12abc", "1.2.3", "1 2", ".5", "- 5"}) {
    EXPECT_FALSE(IsNumeric(no)) << no;
  }
}

TEST(ToInt32, RoundsToNearestHalvesToEven) {
  const std::pair<const char*, int> rows[] = {{"2,4", 2},
                                              {"2.6", 3},
                                              {"2.5", 2},
                                              {"3.5", 4},
                                              {"-2.5", -2},
                                              {"2.50001", 3},
                                              {"1.4999999999999999999", 1},
                                              {"-2147483648", -2147483647 - 1},
                                              {"2147483646.5", 2147483646}};
  for (const auto& [text, value] : rows) {
    EXPECT_TRUE(ToInt32(text).error.ok()) << text;
    EXPECT_EQ(ToInt32(text).value, value) << text;
  }
}

TEST(ToInt32, FailuresCarryTheirNumbers) {
  EXPECT_EQ(ToInt32("abc").error.number, kTypeMismatch);
  EXPECT_EQ(ToInt32("").error.number, kTypeMismatch);
  EXPECT_EQ(ToInt32("2147483647.5").error.number, 6);
  EXPECT_EQ(ToInt32("-2147483649").error.number, 6);
  EXPECT_EQ(ToInt32("99999999999999999999999").error.number, 6);
  EXPECT_EQ(ToInt16("-32768").value, -32768);
  EXPECT_EQ(ToInt16("32767.5").error.number, 6);
}

}  // namespace
}  // namespace velmora
