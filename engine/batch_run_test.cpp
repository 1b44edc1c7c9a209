#include "engine/batch_run.h"

#include <gtest/gtest.h>

#include "engine/path.h"
#include "engine/undo.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using Files = std::vector<std::string>;
const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;

struct FakeRun {
  FakeRun() : run(disk) {}
  void Add(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      disk.AddFile(kDir + name);
      found.push_back({kDir + name, true});
    }
  }
  void Slot(int i, int code, std::string first, std::string second) {
    job.slotCode[i] = code;
    job.txtSource[i] = std::move(first);
    job.txtDestination[i] = std::move(second);
  }
  void operator()(std::deque<int> answers, bool logOn = false) {
    run.dialogs.dialogAnswers = std::move(answers);
    RunCommand(RunKind::kRename, state, job, found, run.services, logOn);
  }
  testing::FakeFileSystem disk;
  testing::ScriptedRun run;
  RunState state;
  RenameJob job;
  std::vector<FoundEntry> found;
};

TEST(RunBatch, NoOnNumberingGivesTheNumberBack) {
  FakeRun run;
  run.Add({"a.mp3", "b.mp3", "c.mp3"});
  run.Slot(0, 12, "1", "1");
  run({kAnswerYes, kAnswerNo, kAnswerYes});
  EXPECT_EQ(run.disk.Files(), (Files{kDir + "1a.mp3", kDir + "2c.mp3", kDir + "b.mp3"}));
  EXPECT_EQ(run.state.undo.Count(), 3);  // the declined step is recorded too
  EXPECT_EQ(run.run.recorders.progress, (std::vector<int>{1, 2, 3}));
}

// A closed Dialog must not act on the "&Ja" left from an earlier question.
TEST(RunBatch, CancelOrClosedDialogEndsTheRun) {
  for (int answer : {kAnswerCancel, kAnswerClosed}) {
    FakeRun run;
    run.Add({"a.txt", "b.txt"});
    for (int i = 0; i < 3; ++i) run.Slot(i, 3, "X", ".");
    run({kAnswerYes, answer});
    EXPECT_EQ(run.disk.Files(), (Files{kDir + "aX.txt", kDir + "b.txt"})) << answer;
    EXPECT_EQ(run.state.undo.Count(), 2) << answer;  // the cancelled step is recorded
    EXPECT_EQ(run.state.dialogRet, kAnswerCancel);
  }
}

TEST(RunBatch, EmptyResultIsRecordedAndLoggedButNotAsked) {
  FakeRun run;
  run.Add({"a.txt"});
  run.Slot(1, 3, "x", "q");  // anchor not found
  run.job.auswahlText[1] = "Text einfügen vor ...";
  run({}, /*logOn=*/true);
  EXPECT_TRUE(run.run.dialogs.asked.empty());
  EXPECT_EQ(run.state.undo.Get(0).dest, "");
  EXPECT_EQ(run.run.recorders.logLines,
            (Files{"--- Velmora ---", "renameFiles= True", "moveFiles= False", "copyFiles= False",
                   "Auswahl= Text einfügen vor ...", "TxtSource= x", "TxtDest= q",
                   "nameSrc= " + kDir + "a.txt", "nameDest= "}));

  MnuUndo_Click(run.state, run.run.services);  // never asked, never removed
  EXPECT_TRUE(run.run.dialogs.asked.empty());
  EXPECT_EQ(run.state.undo.Count(), 1);
}

TEST(RunBatch, FullUndoStoreEndsTheRunBeforeAnUnrecordedStep) {
  FakeRun run;
  for (int i = 1; i < UndoStore::kMaxRecords; ++i) run.state.undo.Append("x", "y", '1');
  run.Add({"a.txt", "b.txt"});
  run.Slot(0, 16, "", "");
  run({kAnswerAll});
  EXPECT_EQ(run.disk.Files(), (Files{kDir + "A.TXT", kDir + "b.txt"}));
  EXPECT_EQ(run.run.recorders.errors, Files{"2 6 Allgemeiner Fehler||Overflow"});
}

}  // namespace
}  // namespace velmora
