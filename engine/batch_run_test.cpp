#include "engine/batch_run.h"

#include <gtest/gtest.h>

#include "engine/path.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using testing::FakeFileSystem;
using testing::ScriptedRun;
using Files = std::vector<std::string>;

const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;
const std::string kDest = std::string(kPathSeparatorText) + "Ziel" + kPathSeparator;

struct RunFixture {
  RunFixture() : run(disk) {}
  void Add(const std::string& name, bool marked = true) {
    disk.AddFile(kDir + name, name);
    found.push_back({kDir + name, marked});
  }
  void Slot(int i, int code, std::string first, std::string second) {
    job.slotCode[i] = code;
    job.txtSource[i] = std::move(first);
    job.txtDestination[i] = std::move(second);
  }
  void Run(RunKind kind, bool logOn = false) {
    state.context.destPath = kDest;
    RunCommand(kind, state, job, found, run.services, logOn);
  }
  FakeFileSystem disk;
  ScriptedRun run;
  RunState state;
  RenameJob job;
  std::vector<FoundEntry> found;
};

TEST(RunBatch, WorkedExampleTwoSlotsChained) {
  RunFixture f;
  f.Add("a.txt");
  f.Add("c.txt", /*marked=*/false);
  f.Slot(0, 1, "a", "b");
  f.Slot(1, 11, "1", ".txt");
  f.run.dialogs.dialogAnswers = {kAnswerYes, kAnswerYes};
  f.Run(RunKind::kRename);

  EXPECT_EQ(f.disk.Files(), (Files{kDir + "b1.txt", kDir + "c.txt"}));
  EXPECT_EQ(f.run.dialogs.asked,
            (Files{kDir + "a.txt -> " + kDir + "b.txt", kDir + "b.txt -> " + kDir + "b1.txt"}));
  ASSERT_EQ(f.state.undo.Count(), 2);
  EXPECT_EQ(f.state.undo.Get(0).source, kDir + "a.txt");
  EXPECT_EQ(f.state.undo.Get(0).dest, kDir + "b.txt");
  EXPECT_EQ(f.state.undo.Get(1).source, kDir + "b.txt");
  EXPECT_EQ(f.state.undo.Get(1).dest, kDir + "b1.txt");
  EXPECT_EQ(f.state.undo.Get(1).kind, '1');
  EXPECT_EQ(f.run.recorders.progress, (std::vector<int>{1, 2}));
  EXPECT_EQ(f.run.recorders.searches, 1);
  EXPECT_FALSE(f.state.context.flags.renameFiles);
}

TEST(RunBatch, NoOnNumberingGivesTheNumberBack) {
  RunFixture f;
  f.Add("a.mp3");
  f.Add("b.mp3");
  f.Add("c.mp3");
  f.Slot(0, 12, "1", "1");
  f.run.dialogs.dialogAnswers = {kAnswerYes, kAnswerNo, kAnswerYes};
  f.Run(RunKind::kRename);
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "1a.mp3", kDir + "2c.mp3", kDir + "b.mp3"}));
  EXPECT_EQ(f.state.undo.Count(), 3);  // the declined step is recorded too
}

TEST(RunBatch, AllConfirmsTheRestOfThisRunOnly) {
  RunFixture f;
  f.Add("a.txt");
  f.Add("b.txt");
  f.Add("c.txt");
  f.Slot(0, 16, "", "");
  f.run.dialogs.dialogAnswers = {kAnswerAll};
  f.Run(RunKind::kRename);
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "A.TXT", kDir + "B.TXT", kDir + "C.TXT"}));
  EXPECT_EQ(f.run.dialogs.asked.size(), 1u);

  f.found = {{kDir + "A.TXT", true}};
  f.Slot(0, 17, "", "");
  f.run.dialogs.dialogAnswers = {kAnswerNo};
  f.Run(RunKind::kRename);
  EXPECT_EQ(f.run.dialogs.asked.size(), 2u);  // the next run asks again
  EXPECT_TRUE(f.disk.Has(kDir + "A.TXT"));
}

TEST(RunBatch, CancelAndClosedEndTheRun) {
  // A closed dialog must not act on the "&Ja" left from an earlier question.
  for (int answer : {kAnswerCancel, kAnswerClosed}) {
    RunFixture f;
    f.Add("a.txt");
    f.Add("b.txt");
    f.Slot(0, 3, "X", ".");
    f.Slot(1, 3, "Y", ".");
    f.Slot(2, 3, "Z", ".");
    f.state.dialogRet = kAnswerYes;
    f.run.dialogs.dialogAnswers = {kAnswerYes, answer};
    f.Run(RunKind::kRename);
    EXPECT_EQ(f.disk.Files(), (Files{kDir + "aX.txt", kDir + "b.txt"})) << answer;
    EXPECT_EQ(f.state.undo.Count(), 2) << answer;  // the cancelled step is recorded
    EXPECT_EQ(f.state.dialogRet, kAnswerCancel);
    EXPECT_EQ(f.run.recorders.searches, 1);
  }
}

TEST(RunBatch, EmptyResultIsRecordedAndLoggedButNotAsked) {
  RunFixture f;
  f.Add("a.txt");
  f.Slot(0, 1, "a", "e");
  f.job.auswahlText[0] = "Text ersetzen / löschen";
  f.Slot(1, 3, "x", "q");  // anchor not found: empty result
  f.run.dialogs.dialogAnswers = {kAnswerNo};
  f.Run(RunKind::kRename, /*logOn=*/true);
  EXPECT_EQ(f.run.dialogs.asked.size(), 1u);
  ASSERT_EQ(f.state.undo.Count(), 2);
  EXPECT_EQ(f.state.undo.Get(1).dest, "");
  ASSERT_EQ(f.run.recorders.logLines.size(), 18u);
  const Files firstStep(f.run.recorders.logLines.begin(), f.run.recorders.logLines.begin() + 9);
  EXPECT_EQ(firstStep, (Files{"--- Velmora ---", "renameFiles= True", "moveFiles= False",
                              "copyFiles= False", "Auswahl= Text ersetzen / löschen",
                              "TxtSource= a", "TxtDest= e", "nameSrc= " + kDir + "a.txt",
                              "nameDest= " + kDir + "e.txt"}));
  EXPECT_EQ(f.run.recorders.logLines[17], "nameDest= ");
}

TEST(RunBatch, NothingHappensWithoutMarksSlotsOrValidInput) {
  RunFixture f;
  f.Add("a.txt", false);
  f.Slot(0, 1, "a", "b");
  f.Run(RunKind::kRename);
  f.found[0].marked = true;
  f.Slot(0, 0, "a", "b");
  f.job.slotCode[1] = 42;  // out of range: the run makes the slot inactive
  f.Run(RunKind::kRename);
  EXPECT_EQ(f.job.slotCode[1], 0);
  f.Slot(0, 12, "1", "");  // refused by the input check
  f.Run(RunKind::kRename, true);
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt"}));
  EXPECT_EQ(f.state.undo.Count(), 0);
  EXPECT_TRUE(f.run.recorders.logLines.empty());
  EXPECT_TRUE(f.run.dialogs.asked.empty());
  EXPECT_EQ(f.run.recorders.messages.size(), 1u);
  EXPECT_EQ(f.run.recorders.searches, 3);
}

TEST(RunBatch, CopyKeepsEveryIntermediateName) {
  RunFixture f;
  f.Add("a.txt");
  f.Slot(0, 2, "1", "a");
  f.Slot(1, 2, "2", "a1");
  f.run.dialogs.dialogAnswers = {kAnswerYes, kAnswerYes};
  f.Run(RunKind::kCopy);
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt", kDest + "a1.txt", kDest + "a12.txt"}));
  EXPECT_EQ(f.state.undo.Get(0).kind, '3');
}

TEST(RunBatch, FullUndoStoreEndsTheRunBeforeAnUnrecordedStep) {
  RunFixture f;
  for (int i = 0; i < UndoStore::kMaxRecords - 1; ++i) f.state.undo.Append("x", "y", '1');
  f.Add("a.txt");
  f.Add("b.txt");
  f.Slot(0, 16, "", "");
  f.run.dialogs.dialogAnswers = {kAnswerAll};
  f.Run(RunKind::kRename);
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "A.TXT", kDir + "b.txt"}));
  ASSERT_EQ(f.run.recorders.errors.size(), 1u);
  EXPECT_EQ(f.run.recorders.errors[0].location, 2);
  EXPECT_EQ(f.run.recorders.errors[0].number, 6);
  EXPECT_EQ(f.run.recorders.errors[0].context, "Allgemeiner Fehler");
}

}  // namespace
}  // namespace velmora
