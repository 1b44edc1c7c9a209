#include <gtest/gtest.h>

#include "engine/path.h"

namespace velmora {
namespace {

TEST(SplitPath, FolderAndName) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
  };
  for (const Row& row : {Row{"/musik/Titel - Interpret.mp3", "/musik/", "Titel - Interpret.mp3"},
                         Row{"Titel.mp3", "", "Titel.mp3"}, Row{"/a.txt", "/", "a.txt"},
                         Row{"/musik/", "/musik/", ""}, Row{"", "", ""}}) {
    EXPECT_EQ(SplitPath(row.path, true), row.folder) << row.path;
    EXPECT_EQ(SplitPath(row.path, false), row.name) << row.path;
  }
}

TEST(SplitPath, CopyAndMoveAnswerWithTheDestination) {
  RunFlags copy;
  copy.copyFiles = true;
  RunFlags move;
  move.moveFiles = true;
  RunFlags rename;
  rename.renameFiles = true;
  EXPECT_EQ(SplitPath("/musik/a.mp3", true, copy, "/neu/"), "/neu/");
  EXPECT_EQ(SplitPath("a.mp3", true, move, "/neu/"), "/neu/");
  EXPECT_EQ(SplitPath("/musik/a.mp3", false, copy, "/neu/"), "a.mp3");
  EXPECT_EQ(SplitPath("/musik/a.mp3", true, rename, "/neu/"), "/musik/");
}

TEST(SplitExtension, BaseAndExtension) {
  struct Row {
    const char* name;
    const char* base;
    const char* ext;
  };
  for (const Row& row : {Row{"Titel - Interpret.mp3", "Titel - Interpret", "mp3"},
                         Row{"a.b.c", "a.b", "c"}, Row{"archiv.tar.gz", "archiv.tar", "gz"},
                         Row{"name.", "name", ""}, Row{".ini", "", "ini"}}) {
    Error error;
    EXPECT_EQ(SplitExtension(row.name, true, &error), row.base) << row.name;
    EXPECT_TRUE(error.ok()) << row.name;
    EXPECT_EQ(SplitExtension(row.name, false), row.ext) << row.name;
  }
}

TEST(SplitExtension, BaseOfANameWithoutDotFails) {
  Error error;
  EXPECT_EQ(SplitExtension("README", false, &error), "README");
  EXPECT_TRUE(error.ok());
  EXPECT_EQ(SplitExtension("README", true, &error), "");
  EXPECT_EQ(error.number, 5);
  EXPECT_EQ(SplitExtension("README", true), "");  // no error sink: no crash
}

}  // namespace
}  // namespace velmora
