#include "engine/path_view.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PathView, ShortensPathsLongerThanSeventyCharacters) {
  const std::string digits70 = std::string(35, 'a') + std::string(35, 'z');
  struct Row {
    std::string path;
    std::string left;
    std::string right;
  };
  const Row rows[] = {
      {"", "", ""},
      {digits70, digits70, digits70},
      {digits70 + "!", digits70 + "...", "..." + digits70.substr(1) + "!"},
      // Umlauts count as one character each and are never cut in half.
      {std::string(70, 'x') + "\xC3\xBC", std::string(70, 'x') + "...",
       "..." + std::string(69, 'x') + "\xC3\xBC"},
      {"\xC3\xA4" + std::string(70, 'y'), "\xC3\xA4" + std::string(69, 'y') + "...",
       "..." + std::string(70, 'y')},
      // An invalid byte is one character.
      {"\xFF" + std::string(70, 'q'), "\xFF" + std::string(69, 'q') + "...",
       "..." + std::string(70, 'q')},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PathView(row.path, true), row.left) << row.path;
    EXPECT_EQ(PathView(row.path, false), row.right) << row.path;
  }
  EXPECT_EQ(PathView(std::string(71, 'w'), true).size(), 73u);
}

}  // namespace
}  // namespace velmora
