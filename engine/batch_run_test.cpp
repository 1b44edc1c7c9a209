#include "engine/batch_run.h"

#include <gtest/gtest.h>

#include <array>

#include "engine/path.h"
#include "engine/plan.h"
#include "engine/undo.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using Files = std::vector<std::string>;
const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;

struct FakeRun {
  explicit FakeRun(bool ignoreCase = false, bool inodePerSpelling = false)
      : disk(ignoreCase, inodePerSpelling), run(disk) {}
  void Add(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      disk.AddFile(kDir + name, name);
      found.push_back({kDir + name, true});
    }
  }
  // "name=content" of every file, sorted by name.
  Files Disk() const {
    Files files;
    for (const std::string& path : disk.Files()) {
      files.push_back(path.substr(kDir.size()) + "=" + disk.Content(path));
    }
    return files;
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

// After "&Alle" an empty numbering step gives its number back as before it,
// so every mix of "&Ja" and "&Alle" names the files as the plan does.
TEST(RunBatch, AlleNumbersAsJaWould) {
  for (const std::deque<int>& answers : {std::deque<int>{kAnswerAll},
                                         std::deque<int>{kAnswerYes, kAnswerAll},
                                         std::deque<int>{kAnswerYes, kAnswerYes}}) {
    FakeRun run;
    run.Add({"a-x.txt", "b.txt", "c-x.txt"});
    run.disk.AddFile(kDir + "c-3x.txt", "precious");
    run.Slot(0, 10, "1", "-");
    const RunPlan plan = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk);
    run(answers);
    EXPECT_EQ(run.Disk(), (Files{"a-1x.txt=a-x.txt", "b.txt=b.txt", "c-2x.txt=c-x.txt",
                                 "c-3x.txt=precious"}))
        << answers.size();
    EXPECT_EQ(plan.rows[2].finalPath, kDir + "c-2x.txt");
    EXPECT_EQ(run.run.dialogs.unexpected, 0);
  }
}

// Steps onto a file the run still needs are refused and reported, even with
// "&Alle" in both dialogs; the later slots go on from the name the file has.
TEST(RunBatch, FilesTheRunNeedsAreNeverOverwritten) {
  struct Row {
    const char* what;
    std::initializer_list<const char*> names;
    std::vector<std::array<std::string, 3>> slots;  // code, first, second
    std::deque<int> answers;
    Files after;
    std::size_t refusals;
  };
  const Row rows[] = {
      {"two files end at one name",
       {"a1.txt", "a2.txt"},
       {{"7", "1", "2"}},
       {kAnswerAll},
       {"a.txt=a1.txt", "a2.txt=a2.txt"},
       1},
      {"swap mirrored at ' - '",
       {"A - B.mp3", "B - A.mp3"},
       {{"14", " - ", ""}},
       {kAnswerAll},
       {"A - B.mp3=A - B.mp3", "B - A.mp3=B - A.mp3"},
       2},
      {"three-cycle",
       {"a.txt", "b.txt", "c.txt"},
       {{"1", "a", "b"}, {"1", "b", "c"}, {"1", "c", "a"}},
       {kAnswerAll},
       {"a.txt=a.txt", "b.txt=b.txt", "c.txt=c.txt"},
       3},
      {"a file answered Nein is a later entry's target",
       {"a.txt", "b.txt"},
       {{"1", "b", "a"}, {"16", "", ""}},
       {kAnswerNo, kAnswerAll},
       {"B.TXT=b.txt", "a.txt=a.txt"},
       1},
  };
  for (const Row& row : rows) {
    FakeRun run;
    run.Add(row.names);
    for (std::size_t i = 0; i < row.slots.size(); ++i) {
      run.Slot(static_cast<int>(i), std::stoi(row.slots[i][0]), row.slots[i][1],
               row.slots[i][2]);
    }
    run.run.dialogs.dialog2Answers = {kAnswerAll};
    run(row.answers);
    EXPECT_EQ(run.Disk(), row.after) << row.what;
    EXPECT_EQ(run.run.recorders.errors.size(), row.refusals) << row.what;
    for (const std::string& error : run.run.recorders.errors) {
      EXPECT_NE(error.find("Muster enger fassen"), std::string::npos) << error;
    }
    const RunPlan plan = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk);
    EXPECT_GT(plan.conflicts, 0) << row.what;
  }
}

// "&Alle" in Dialog2 covers the files the run's plan showed; a name shifted
// onto another file by a "&Nein" is asked about again.
TEST(RunBatch, AlleDeletesOnlyWhatThePlanShowed) {
  FakeRun run;
  run.Add({"a.txt", "b.txt", "c.txt"});
  run.disk.AddFile(kDir + "1a.txt", "planned");
  run.disk.AddFile(kDir + "2c.txt", "stranger");
  run.Slot(0, 12, "1", "1");
  run.run.dialogs.dialog2Answers = {kAnswerAll, kAnswerCancel};
  run({kAnswerYes, kAnswerNo, kAnswerAll});
  EXPECT_EQ(run.Disk(), (Files{"1a.txt=a.txt", "2c.txt=stranger", "b.txt=b.txt", "c.txt=c.txt"}));
  EXPECT_EQ(run.run.dialogs.asked.back(), "delete unplanned " + kDir + "2c.txt");
  EXPECT_EQ(run.run.dialogs.unexpected, 0);
}

// exFAT through FUSE: one file, an inode number per spelling. A case change
// is a rename in place, never a delete of the "other" file.
TEST(RunBatch, CaseChangeWhereEachSpellingHasItsOwnInode) {
  FakeRun run(/*ignoreCase=*/true, /*inodePerSpelling=*/true);
  run.Add({"Song.mp3"});
  run.Slot(0, 16, "", "");
  run.run.dialogs.dialog2Answers = {kAnswerAll};
  run({kAnswerAll});
  EXPECT_EQ(run.Disk(), Files{"SONG.MP3=Song.mp3"});
  EXPECT_EQ(run.run.dialogs.asked, Files{kDir + "Song.mp3 -> " + kDir + "SONG.MP3"});
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
