#include "services/context_link.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/error_numbers.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

using testing::ScopedEnv;

struct LinkFolder : ::testing::Test {
  testing::TempFolder dir;
  std::string apps = dir / "data/applications";
};

TEST(ContextLink, QuotesExecArgumentsByTheDesktopEntryRules) {
  const std::pair<const char*, const char*> rows[] = {
      // path, Exec argument
      {"/opt/Meine Programme/velmora", R"("/opt/Meine Programme/velmora")"},
      {"/a\"b", R"("/a\\"b")"},
      {"/a\\b", R"("/a\\\\b")"},
      {"/$HOME/`x`", R"("/\\$HOME/\\`x\\`")"},
      {"/100%/v", R"("/100%%/v")"},
      {"/a\tb\nc", R"("/a\tb\nc")"},
  };
  for (const auto& [path, exec] : rows) EXPECT_EQ(QuoteExecArgument(path), exec) << path;
  EXPECT_EQ(ContextLinkCommand("/opt/v m/velmora"), R"("/opt/v m/velmora" %f)");
}

// XDG_DATA_HOME itself, and the entry's name in it: the window's test.
TEST(ContextLink, FolderFallsBackToHome) {
  ScopedEnv home("HOME", "/home/anna");
  for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/data"}) {
    ScopedEnv data("XDG_DATA_HOME", unusable);
    EXPECT_EQ(UserApplicationsFolder(), "/home/anna/.local/share/applications");
  }
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv noHome("HOME", nullptr);
  EXPECT_EQ(UserApplicationsFolder(), "");
}

TEST_F(LinkFolder, ReadsTheCommandOfTheMainGroupOnly) {
  fs::create_directories(apps);
  const std::string path = apps + "/velmora.desktop";
  const std::pair<const char*, const char*> rows[] = {
      // the entry, its command
      {"[Desktop Entry]\nExec=\"/v\" %f\n", "\"/v\" %f"},
      {"# c\n[Desktop Entry]\nName=V\nExec = /v %f \r\n", "/v %f"},
      {"[Desktop Entry]\nExec=\n", ""},
      {"[Desktop Entry]\nExec[de]=/v\nTryExec=/v\n", ""},
      {"[Desktop Action x]\nExec=/v\n[Desktop Entry]\nName=V\n", ""},
      {"", ""},
  };
  for (const auto& [content, command] : rows) {
    std::ofstream(path, std::ios::binary) << content;
    EXPECT_EQ(ReadLinkCommand(path), command) << content;
  }
  EXPECT_EQ(ReadLinkCommand(apps + "/missing.desktop"), "");
}

// The round trip through the menu is the window's test; here an entry
// without a command is written anew, readable for all.
TEST_F(LinkFolder, ToggleRewritesAnEntryWithoutCommand) {
  const std::string path = apps + "/velmora.desktop";
  fs::create_directories(apps);
  std::ofstream(path) << "[Desktop Entry]\nExec=\n";
  EXPECT_TRUE(ToggleExplorerLink("Velmora", "/opt/V/velmora", apps).created);
  EXPECT_NE(testing::ReadFile(path).find("\nMimeType=inode/directory;\n"), std::string::npos);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0644));
}

TEST_F(LinkFolder, AFailedWriteIsReportedAndLeavesNothing) {
  std::ofstream(dir / "data") << "a file where the folder should be";
  LinkToggle toggle = ToggleExplorerLink("Velmora", "/usr/bin/velmora", apps);
  EXPECT_TRUE(toggle.created);
  EXPECT_EQ(toggle.error.number, kPathNotFound);
  EXPECT_EQ(testing::ReadFile(dir / "data"), "a file where the folder should be");

  // No applications folder: a file of the entry's name in the working folder
  // is neither read nor deleted.
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  std::ofstream("velmora.desktop") << "[Desktop Entry]\nExec=/mine %f\n";
  LinkToggle noFolder = ToggleExplorerLink("Velmora", "/usr/bin/velmora", "");
  fs::current_path(before);
  EXPECT_TRUE(noFolder.error);
  EXPECT_TRUE(noFolder.created);
  EXPECT_EQ(ReadLinkCommand(dir / "velmora.desktop"), "/mine %f");
}

}  // namespace
}  // namespace velmora
