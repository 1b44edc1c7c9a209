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
  void Slot(int i, int code, std::string first = "", std::string second = "") {
    testing::SetSlot(job, i, code, std::move(first), std::move(second));
  }
  void Slots(const std::vector<std::array<std::string, 3>>& slots) {  // code, first, second
    for (std::size_t i = 0; i < slots.size(); ++i) {
      Slot(static_cast<int>(i), std::stoi(slots[i][0]), slots[i][1], slots[i][2]);
    }
  }
  void operator()(std::deque<Answer> answers, bool logOn = false) {
    run.dialogs.dialogAnswers = std::move(answers);
    RunCommand(kind, state, job, found, run.services, logOn);
  }
  RunKind kind = RunKind::kRename;
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
  run({Answer::kYes, Answer::kNo, Answer::kYes});
  EXPECT_EQ(run.disk.Files(), (Files{kDir + "1a.mp3", kDir + "2c.mp3", kDir + "b.mp3"}));
  EXPECT_EQ(run.state.undo.Count(), 3);  // the declined step is recorded too
  EXPECT_EQ(run.run.recorders.progress, (std::vector<int>{1, 2, 3}));
}

// After "&Alle" an empty numbering step gives its number back as before it,
// so every mix of "&Ja" and "&Alle" names the files as the plan does.
TEST(RunBatch, AlleNumbersAsJaWould) {
  for (const std::deque<Answer>& answers :
       {std::deque<Answer>{Answer::kAll}, std::deque<Answer>{Answer::kYes, Answer::kAll},
        std::deque<Answer>{Answer::kYes, Answer::kYes}}) {
    FakeRun run;
    run.Add({"a-x.txt", "b.txt", "c-x.txt"});
    run.disk.AddFile(kDir + "c-3x.txt", "precious");
    run.Slot(0, 10, "1", "-");
    const RunPlan plan = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk);
    run(answers);
    EXPECT_EQ(run.Disk(),
              (Files{"a-1x.txt=a-x.txt", "b.txt=b.txt", "c-2x.txt=c-x.txt", "c-3x.txt=precious"}))
        << answers.size();
    EXPECT_EQ(plan.rows[2].finalPath, kDir + "c-2x.txt");
    EXPECT_EQ(run.run.dialogs.unexpected, 0);
  }
}

// Steps onto a file the run still needs are refused and reported, even with
// "&Alle" in both dialogs; the later slots go on from the name the file has.
// (Two files ending at one name: the command-line test with --yes-all.)
TEST(RunBatch, FilesTheRunNeedsAreNeverOverwritten) {
  struct Row {
    const char* what;
    std::initializer_list<const char*> names;
    std::vector<std::array<std::string, 3>> slots;  // code, first, second
    std::deque<Answer> answers;
    Files after;
    std::size_t refusals;
  };
  const Row rows[] = {
      {"swap mirrored at ' - '",
       {"A - B.mp3", "B - A.mp3"},
       {{"14", " - ", ""}},
       {Answer::kAll},
       {"A - B.mp3=A - B.mp3", "B - A.mp3=B - A.mp3"},
       2},
      {"three-cycle",
       {"a.txt", "b.txt", "c.txt"},
       {{"1", "a", "b"}, {"1", "b", "c"}, {"1", "c", "a"}},
       {Answer::kAll},
       {"a.txt=a.txt", "b.txt=b.txt", "c.txt=c.txt"},
       3},
      {"a file answered Nein is a later entry's target",
       {"a.txt", "b.txt"},
       {{"1", "b", "a"}, {"16", "", ""}},
       {Answer::kNo, Answer::kAll},
       {"B.TXT=b.txt", "a.txt=a.txt"},
       1},
  };
  for (const Row& row : rows) {
    FakeRun run;
    run.Add(row.names);
    run.Slots(row.slots);
    run.run.dialogs.dialog2Answers = {Answer::kAll};
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
  run.run.dialogs.dialog2Answers = {Answer::kAll, Answer::kCancel};
  run({Answer::kYes, Answer::kNo, Answer::kAll});
  EXPECT_EQ(run.Disk(), (Files{"1a.txt=a.txt", "2c.txt=stranger", "b.txt=b.txt", "c.txt=c.txt"}));
  EXPECT_EQ(run.run.dialogs.asked.back(), "delete unplanned " + kDir + "2c.txt");
  EXPECT_EQ(run.run.dialogs.unexpected, 0);
}

// exFAT through FUSE: one file, an inode number per spelling. A case change
// is a rename in place, never a delete of the "other" file.
TEST(RunBatch, CaseChangeWhereEachSpellingHasItsOwnInode) {
  FakeRun run(/*ignoreCase=*/true, /*inodePerSpelling=*/true);
  run.Add({"Song.mp3"});
  run.Slot(0, 16);
  run.run.dialogs.dialog2Answers = {Answer::kAll};
  run({Answer::kAll});
  EXPECT_EQ(run.Disk(), Files{"SONG.MP3=Song.mp3"});
  EXPECT_EQ(run.run.dialogs.asked, Files{kDir + "Song.mp3 -> " + kDir + "SONG.MP3"});
}

// A closed Dialog must not act on the "&Ja" given to an earlier question.
TEST(RunBatch, CancelOrClosedDialogEndsTheRun) {
  for (Answer answer : {Answer::kCancel, Answer::kClosed}) {
    FakeRun run;
    run.Add({"a.txt", "b.txt"});
    for (int i = 0; i < 3; ++i) run.Slot(i, 3, "X", ".");
    run({Answer::kYes, answer});
    const int shown = static_cast<int>(answer);
    EXPECT_EQ(run.disk.Files(), (Files{kDir + "aX.txt", kDir + "b.txt"})) << shown;
    EXPECT_EQ(run.state.undo.Count(), 2) << shown;  // the cancelled step is recorded
  }
}

TEST(RunBatch, EmptyResultIsRecordedAndLoggedButNotAsked) {
  FakeRun run;
  run.Add({"a.txt"});
  run.Slot(1, 3, "x", "q");  // anchor not found
  run({}, /*logOn=*/true);
  EXPECT_TRUE(run.run.dialogs.asked.empty());
  EXPECT_EQ(run.state.undo.Get(0).dest, "");
  // The nine lines of a step: the window's log test.
  ASSERT_EQ(run.run.recorders.logLines.size(), 1u);
  EXPECT_TRUE(run.run.recorders.logLines[0].ends_with("\r\nnameDest= "));

  MnuUndo_Click(run.state, run.run.services);  // never asked, never removed
  EXPECT_TRUE(run.run.dialogs.asked.empty());
  EXPECT_EQ(run.state.undo.Count(), 1);
}

TEST(RunBatch, FullUndoStoreEndsTheRunBeforeAnUnrecordedStep) {
  FakeRun run;
  for (int i = 1; i < UndoStore::kMaxRecords; ++i)
    run.state.undo.Append("x", "y", RunKind::kRename);
  run.Add({"a.txt", "b.txt"});
  run.Slot(0, 16);
  run({Answer::kAll});
  EXPECT_EQ(run.disk.Files(), (Files{kDir + "A.TXT", kDir + "b.txt"}));
  EXPECT_EQ(run.run.recorders.errors, Files{"2 6 Allgemeiner Fehler||Overflow"});
}

// With "Ketten auflösen": shifts, swaps and cycles go through, the later
// entry of a chain first, a cycle through one rename temporary. (A lone swap
// and three-cycle: the property tests and the command line's kill test.)
TEST(RunBatch, ChainsAndCyclesGoThrough) {
  struct Row {
    const char* what;
    std::vector<std::string> names;
    std::vector<std::array<std::string, 3>> slots;  // code, first, second
    Files after;
    RunKind kind = RunKind::kRename;
  };
  std::vector<std::string> numbered;
  Files shifted;
  for (int i = 1; i <= 200; ++i) {
    char name[16], next[16];
    std::snprintf(name, sizeof name, "%03d.txt", i);
    std::snprintf(next, sizeof next, "%03d.txt", i + 1);
    numbered.push_back(name);
    shifted.push_back(std::string(next) + "=" + name);
  }
  const std::vector<Row> rows = {
      {"later entry first",
       {"x.txt", "xx.txt"},
       {{"1", "x.txt", "xx.txt"}},
       {"xx.txt=x.txt", "xxx.txt=xx.txt"}},
      {"shift of 200 by one", numbered, {{"12", "002", "1"}, {"7", "3", "4"}}, shifted},
      {"two slots over a swap",
       {"A - B.mp3", "B - A.mp3"},
       {{"14", " - ", ""}, {"16", "", ""}},
       {"A - B.MP3=B - A.mp3", "B - A.MP3=A - B.mp3"}},
      {"move of a swap within its folder",
       {"A - B.mp3", "B - A.mp3"},
       {{"14", " - ", ""}},
       {"A - B.mp3=B - A.mp3", "B - A.mp3=A - B.mp3"},
       RunKind::kMove},
  };
  for (const Row& row : rows) {
    FakeRun run;
    for (const std::string& name : row.names) run.Add({name.c_str()});
    run.Slots(row.slots);
    run.kind = row.kind;
    run.state.context.destPath = kDir;
    run.state.resolveChains = true;
    const RunPlan plan = PlanRun(row.kind, run.job, run.found, kDir, run.disk, true, true);
    EXPECT_EQ(plan.conflicts, 0) << row.what;
    EXPECT_FALSE(plan.order.empty()) << row.what;
    run({Answer::kAll});
    EXPECT_EQ(run.Disk(), row.after) << row.what;
    EXPECT_TRUE(run.run.recorders.errors.empty()) << row.what << run.run.recorders.errors[0];
    EXPECT_EQ(run.run.dialogs.unexpected, 0) << row.what;
    EXPECT_TRUE(run.run.dialogs.asked.size() == 1) << row.what;

    // Undo takes every move back, the parking included, without a question
    // about a taken name.
    run.run.dialogs.asked.clear();
    run.run.dialogs.dialogAnswers = {Answer::kAll};
    MnuUndo_Click(run.state, run.run.services);
    Files before;
    for (const std::string& name : row.names) before.push_back(name + "=" + name);
    std::sort(before.begin(), before.end());
    EXPECT_EQ(run.Disk(), before) << row.what;
    EXPECT_EQ(run.run.dialogs.unexpected, 0) << row.what;
  }
}

// Questions in the order of execution; "&Nein" or "&Abbrechen" inside the
// three-cycle puts back what moved, and no temporary name stays.
TEST(RunBatch, NeinAndAbbrechenInsideACycle) {
  const std::string a = kDir + "A - B - C.mp3", b = kDir + "B - C - A.mp3",
                    c = kDir + "C - A - B.mp3";
  struct Row {
    std::deque<Answer> answers;
    Files asked;
  };
  const Row rows[] = {
      {{Answer::kNo}, {a + " -> " + b}},
      {{Answer::kYes, Answer::kYes, Answer::kNo}, {a + " -> " + b, c + " -> " + a, b + " -> " + c}},
      {{Answer::kYes, Answer::kCancel}, {a + " -> " + b, c + " -> " + a}},
      {{Answer::kYes, Answer::kYes, Answer::kCancel},
       {a + " -> " + b, c + " -> " + a, b + " -> " + c}},
  };
  for (const Row& row : rows) {
    FakeRun run;
    run.Add({"A - B - C.mp3", "B - C - A.mp3", "C - A - B.mp3"});
    run.Slot(0, 14, " - ", "");
    run.state.resolveChains = true;
    run(row.answers);
    EXPECT_EQ(run.Disk(), (Files{"A - B - C.mp3=A - B - C.mp3", "B - C - A.mp3=B - C - A.mp3",
                                 "C - A - B.mp3=C - A - B.mp3"}))
        << row.answers.size();
    EXPECT_EQ(run.run.dialogs.asked, row.asked);
    EXPECT_EQ(run.state.undo.Count(), 0);  // every move taken back is no record
  }
}

// "&Nein" in a shift skips the steps that need the declined name; the
// numbers stay as planned, with a gap.
TEST(RunBatch, NeinInAChainLeavesAGap) {
  FakeRun run;
  run.Add({"1.txt", "2.txt", "3.txt", "4.txt"});
  run.Slot(0, 12, "2", "1");  // 1.txt -> 21.txt
  run.Slot(1, 7, "1", "2");   // 21.txt -> 2.txt
  run.state.resolveChains = true;
  // Order 4, 3, 2, 1; "&Nein" to 3's first step: 2's step onto 3.txt is
  // passed over unasked, and 4.txt stays a gap.
  run({Answer::kYes, Answer::kYes, Answer::kNo, Answer::kAll});
  EXPECT_EQ(run.Disk(), (Files{"2.txt=1.txt", "3.txt=3.txt", "32.txt=2.txt", "5.txt=4.txt"}));
  EXPECT_EQ(run.run.dialogs.asked.size(), 4u);
}

TEST(PlanRun, ChainsResolvedOrConflicts) {
  FakeRun run;
  run.Add({"a.txt", "b.txt", "c.txt"});
  run.Slot(0, 1, "a", "b");  // a -> b; b -> nothing; c -> nothing
  const RunPlan plain = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk);
  EXPECT_EQ(plain.rows[0].state, PlanState::kChain);
  // b never leaves: no order frees it.
  const RunPlan resolved = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk, true, true);
  EXPECT_EQ(resolved.rows[0].state, PlanState::kChain);
  EXPECT_EQ(resolved.rows[0].finalPath, kDir + "a.txt");
  EXPECT_EQ(resolved.conflicts, 1);

  run.Slot(1, 1, "b", "c");  // and b -> c: c stays, so b stays, so a stays
  const RunPlan both = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk, true, true);
  EXPECT_EQ(both.conflicts, 2);
  EXPECT_EQ(both.rows[1].finalPath, kDir + "b.txt");
}

}  // namespace
}  // namespace velmora
