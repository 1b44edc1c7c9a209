#include "services/journal_undo.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_undo.h"

namespace velmora {
namespace {

using namespace velmora::testing;

const Error kBroken{kDeviceIoError, "Input/output error"};

// On the fake disk: a done rename /d/a -> /d/A and a copy /d/b -> /e/b made
// but cut off before its done record; without an end record when killed.
std::string WriteRun(FakeFileSystem& disk, JournalFile& file, bool killed = false) {
  disk.AddFile("/d/a", "a");
  disk.AddFile("/d/b", "b");
  testing::Recorders recorders;
  JournalWriter writer(file, recorders);
  EXPECT_FALSE(writer.Begin("rename"));
  EXPECT_FALSE(writer.Intent(FileOp::kRename, "/d/a", "/d/A", nullptr));
  EXPECT_FALSE(disk.Move("/d/a", "/d/A"));
  EXPECT_FALSE(writer.Done(FileOp::kRename, "/d/a", "/d/A"));
  EXPECT_FALSE(writer.Intent(FileOp::kCopy, "/d/b", "/e/b", nullptr));
  EXPECT_FALSE(disk.Copy("/d/b", "/e/b"));
  if (!killed) writer.End();
  return writer.run();
}

// A look at a step's file that fails is no proof that the file is gone or
// elsewhere: the step stays, named, the other is taken back, and a later
// undo takes back the rest.
TEST(UndoOnFakeDisk, AFailedLookKeepsTheStepAndNamesIt) {
  const struct Row {
    const char* call;
    std::vector<std::string> filesAfter;
  } rows[] = {
      {"Identify /d/A", {"/d/A", "/d/b", "/s/j", "/s/j.lock"}},
      {"Identify /e/b", {"/d/a", "/d/b", "/e/b", "/s/j", "/s/j.lock"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.call);
    FakeFileSystem disk;
    JournalFile file("/s/j", &disk);
    WriteRun(disk, file);
    disk.Fail(row.call, kBroken);
    testing::Recorders recorders;
    RecordedUndo output;
    EXPECT_EQ(UndoAll(file, recorders, output), 1);
    EXPECT_EQ(disk.Files(), row.filesAfter);
    ASSERT_EQ(recorders.messages.size(), 1u);
    EXPECT_NE(recorders.messages[0].find(std::string(row.call).substr(9)), std::string::npos);
    disk.Fail(row.call, {});
    EXPECT_EQ(UndoAll(file, recorders, output), 0);
    EXPECT_EQ(disk.Files(), (std::vector<std::string>{"/d/a", "/d/b", "/s/j", "/s/j.lock"}));
  }
}

// Whether a killed run still goes on is told by its lock; a lock test that
// fails leaves the run alone, says why, and never counts as over.
TEST(UndoOnFakeDisk, AFailedLivenessLookKeepsTheRun) {
  for (const char* op : {"OpenOwn", "LockedElsewhere"}) {
    SCOPED_TRACE(op);
    FakeFileSystem disk;
    JournalFile file("/s/j", &disk);
    const std::string run = WriteRun(disk, file, /*killed=*/true);
    EXPECT_TRUE(JournalMayHoldInterruptedRuns(disk, file.path()));
    disk.Fail(std::string(op) + " " + RunFilePath(file.path(), run), kBroken);
    JournalContents contents;
    ASSERT_FALSE(file.Read(contents));
    EXPECT_TRUE(InterruptedRuns(file, contents).empty());
    testing::Recorders recorders;
    RecordedUndo output;
    EXPECT_EQ(UndoAll(file, recorders, output), 2);
    EXPECT_EQ(output.stays, std::vector<std::string>{run});
    ASSERT_EQ(recorders.errors.size(), 1u);
    EXPECT_NE(recorders.errors[0].find(kBroken.description), std::string::npos);
    EXPECT_TRUE(disk.Has("/d/A") && disk.Has("/e/b"));
    disk.Fail(std::string(op) + " " + RunFilePath(file.path(), run), {});
    EXPECT_EQ(InterruptedRuns(file, contents).size(), 1u);
  }
}

// The check before each run reads the segments; one it cannot read may hold
// an interrupted run.
TEST(UndoOnFakeDisk, AnUnreadableJournalMayHoldInterruptedRuns) {
  FakeFileSystem disk;
  JournalFile file("/s/j", &disk);
  WriteRun(disk, file);
  EXPECT_FALSE(JournalMayHoldInterruptedRuns(disk, file.path()));
  disk.Fail("ReadAt /s/j", kBroken);
  EXPECT_TRUE(JournalMayHoldInterruptedRuns(disk, file.path()));
}

}  // namespace
}  // namespace velmora
