#include "engine/name_table.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(NameTable, FindsWhatWasPutAndNotWhatWasErased) {
  NameTable<int> table;
  EXPECT_EQ(table.Find("a"), nullptr);
  EXPECT_FALSE(table.Erase("a"));
  // Enough names to grow the table several times, each key a temporary.
  for (int i = 0; i < 5000; ++i) table.Insert("name" + std::to_string(i)) = i;
  for (int i = 0; i < 5000; i += 2) EXPECT_TRUE(table.Erase("name" + std::to_string(i)));
  for (int i = 0; i < 5000; ++i) {
    const int* value = table.Find("name" + std::to_string(i));
    if (i % 2 == 0) {
      EXPECT_EQ(value, nullptr) << i;
    } else {
      ASSERT_NE(value, nullptr) << i;
      EXPECT_EQ(*value, i);
    }
  }
}

TEST(NameTable, ValuesStayPutAndComeBackDefaultAfterErase) {
  NameTable<std::string> table;
  bool added = false;
  std::string& kept = table.Insert("kept", &added);
  EXPECT_TRUE(added);
  kept = "value";
  table.Insert("kept", &added);
  EXPECT_FALSE(added);
  // Erase and insert many times over: erased slots are reused, never leaked
  // into lookups, and the first value never moves.
  for (int round = 0; round < 20000; ++round) {
    table.Insert("gone") = "old";
    EXPECT_TRUE(table.Erase("gone"));
  }
  EXPECT_EQ(table.Insert("gone"), "");
  EXPECT_EQ(&table.Insert("kept"), &kept);
  EXPECT_EQ(kept, "value");
}

}  // namespace
}  // namespace velmora
