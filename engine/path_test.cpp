#include "engine/path.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(SplitPath, FolderAndName) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
  };
  for (const Row& row :
       {Row{"/musik/Titel.mp3", "/musik/", "Titel.mp3"}, Row{"Titel.mp3", "", "Titel.mp3"},
        Row{"/a.txt", "/", "a.txt"}, Row{"/musik/", "/musik/", ""}}) {
    EXPECT_EQ(SplitPath(row.path, true), row.folder) << row.path;
    EXPECT_EQ(SplitPath(row.path, false), row.name) << row.path;
  }
  EXPECT_EQ(SplitPath("/musik/a.mp3", true, RunKind::kCopy, "/neu/"), "/neu/");
  EXPECT_EQ(SplitPath("a.mp3", true, RunKind::kMove, "/neu/"), "/neu/");
  EXPECT_EQ(SplitPath("/musik/a.mp3", true, RunKind::kRename, "/neu/"), "/musik/");
}

TEST(SplitExtension, BaseAndExtension) {
  struct Row {
    const char* name;
    const char* base;
    const char* ext;
  };
  for (const Row& row : {Row{"a.b.c", "a.b", "c"}, Row{"archiv.tar.gz", "archiv.tar", "gz"},
                         Row{"name.", "name", ""}, Row{".ini", "", "ini"}}) {
    Error error;
    EXPECT_EQ(SplitExtension(row.name, true, &error), row.base) << row.name;
    EXPECT_TRUE(error.ok()) << row.name;
    EXPECT_EQ(SplitExtension(row.name, false), row.ext) << row.name;
  }
  Error error;
  EXPECT_EQ(SplitExtension("README", false, &error), "README");
  EXPECT_EQ(SplitExtension("README", true, &error), "");
  EXPECT_EQ(error.number, 5);
}

TEST(NameRefusedOn, FatAndExfatRules) {
  struct Row {
    const char* name;
    bool refused;
  };
  for (const Row& row : {Row{"Titel - Interpret.mp3", false}, Row{"a:b", true}, Row{"a*", true},
                         Row{"wer?", true}, Row{"\"x\"", true}, Row{"<>", true}, Row{"a|b", true},
                         Row{"a\\b", true}, Row{"name.", true}, Row{"name ", true},
                         Row{"a\tb", true}, Row{".hidden", false}, Row{"über.txt", false}}) {
    EXPECT_EQ(NameRefusedOn(FileSystemKind::kFat, row.name), row.refused) << row.name;
    EXPECT_EQ(NameRefusedOn(FileSystemKind::kExfat, row.name), row.refused) << row.name;
    EXPECT_FALSE(NameRefusedOn(FileSystemKind::kUnknown, row.name)) << row.name;
    EXPECT_FALSE(NameRefusedOn(FileSystemKind::kNtfs, row.name)) << row.name;
  }
}

}  // namespace
}  // namespace velmora
