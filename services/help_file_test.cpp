#include "services/help_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

struct HelpFolder : ::testing::Test {
  testing::TempFolder dir;
};

TEST_F(HelpFolder, ReadsLinesAtEveryKindOfLineEnd) {
  using Lines = std::vector<std::string>;
  struct Row {
    const char* bytes;
    Lines lines;
  } rows[] = {
      {"", {}},
      {"eins\r\nzwei\r\n", {"eins", "zwei"}},
      {"eins\rzwei", {"eins", "zwei"}},
      {"eins\nzwei\n", {"eins", "zwei"}},
      {"eins\r\n\r\n\tzwei", {"eins", "", "\tzwei"}},
      {"\r\n", {""}},
      {"Gr\xC3\xB6\xC3\x9F"
       "e",
       {"Größe"}},
      {"Gr\xF6\xDF"
       "e \x80",
       {"Größe €"}},
      {"\xC3", {"Ã"}},
  };
  const std::string path = dir / "Hilfe.txt";
  for (const Row& row : rows) {
    testing::WriteFile(path, row.bytes);
    HelpText text = ReadHelpFile(path);
    EXPECT_TRUE(text.ok) << row.bytes;
    EXPECT_EQ(text.lines, row.lines) << row.bytes;
  }
  EXPECT_FALSE(ReadHelpFile(dir.path()).ok);  // a folder; a missing file: the window test
}

TEST_F(HelpFolder, FindsTheFileBesideTheProgramFirstThenTheInstalledOne) {
  const std::string bin = dir / "bin";
  fs::create_directories(bin);
  EXPECT_EQ(FindHelpFile(bin), bin + "/Hilfe.txt");  // none: the expected place

  const std::string installed = InstalledDataFolder(bin + "/") + "/Hilfe.txt";
  testing::WriteFile(installed, "installiert");
  EXPECT_EQ(fs::weakly_canonical(FindHelpFile(bin)), fs::weakly_canonical(installed));
  EXPECT_EQ(ReadHelpFile(FindHelpFile(bin + "/")).lines, std::vector<std::string>{"installiert"});

  testing::WriteFile(bin + "/Hilfe.txt", "daneben");
  EXPECT_EQ(FindHelpFile(bin), bin + "/Hilfe.txt");
}

}  // namespace
}  // namespace velmora
