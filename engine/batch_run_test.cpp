#include "engine/batch_run.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "engine/path.h"
#include "engine/plan.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using Files = std::vector<std::string>;
const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;

struct FakeRun {
  void Add(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      disk.AddFile(kDir + name, name);
      found.push_back({kDir + name, true});
    }
  }
  // "name=content" of every file, sorted by name.
  [[nodiscard]] Files Disk() const {
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
    testing::CheckAndRun(kind, state, job, found, run.services, logOn);
  }
  RunKind kind = RunKind::kRename;
  testing::FakeFileSystem disk;
  testing::ScriptedRun run{disk};
  RunState state;
  RenameJob job;
  std::vector<FoundEntry> found;
};

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
  EXPECT_EQ(run.run.recorders.progress, (std::vector<int>{1, 2, 3}));
}

// With "Ketten auflösen": shifts go through, the later entry of a chain
// first. "&Nein" in a shift skips the steps that need the declined name;
// the numbers stay as planned, with a gap. (Swaps, cycles and moves within
// the folder: the property tests and the command line's kill test.)
TEST(RunBatch, ChainsGoThroughLaterEntryFirst) {
  struct Row {
    std::vector<std::string> names;
    std::vector<std::array<std::string, 3>> slots;  // code, first, second
    std::deque<Answer> answers;
    Files after;
  };
  std::vector<std::string> numbered;
  Files shifted;
  for (int i = 1; i <= 200; ++i) numbered.push_back(std::to_string(1000 + i).substr(1) + ".txt");
  for (int i = 0; i < 200; ++i)
    shifted.push_back(std::to_string(1002 + i).substr(1) + ".txt=" + numbered[i]);
  const Row rows[] = {
      {{"x.txt", "xx.txt"},
       {{"1", "x.txt", "xx.txt"}},
       {Answer::kAll},
       {"xx.txt=x.txt", "xxx.txt=xx.txt"}},
      {numbered, {{"12", "002", "1"}, {"7", "3", "4"}}, {Answer::kAll}, shifted},
      // 1.txt -> 21.txt -> 2.txt. Order 4, 3, 2, 1; "&Nein" to 3's first step:
      // 2's step onto 3.txt is passed over unasked, and 4.txt stays a gap.
      {{"1.txt", "2.txt", "3.txt", "4.txt"},
       {{"12", "2", "1"}, {"7", "1", "2"}},
       {Answer::kYes, Answer::kYes, Answer::kNo, Answer::kAll},
       {"2.txt=1.txt", "3.txt=3.txt", "32.txt=2.txt", "5.txt=4.txt"}},
  };
  for (const Row& row : rows) {
    FakeRun run;
    for (const std::string& name : row.names) run.Add({name.c_str()});
    run.Slots(row.slots);
    run.state.resolveChains = true;
    const RunPlan plan = PlanRun(run.kind, run.job, run.found, "", run.disk, true, true);
    EXPECT_EQ(plan.conflicts, 0);
    EXPECT_FALSE(plan.order.empty());
    run(row.answers);
    EXPECT_EQ(run.Disk(), row.after);
    EXPECT_TRUE(run.run.recorders.errors.empty());
    EXPECT_EQ(run.run.dialogs.asked.size(), row.answers.size());
  }
}

// Questions in the order of execution; "&Nein" or "&Abbrechen" inside the
// three-cycle puts back what moved, and no temporary name stays.
TEST(RunBatch, NeinAndAbbrechenInsideACycle) {
  const std::string a = kDir + "A - B - C.mp3", b = kDir + "B - C - A.mp3",
                    c = kDir + "C - A - B.mp3";
  const Files order = {a + " -> " + b, c + " -> " + a, b + " -> " + c};
  for (const std::deque<Answer>& answers : {std::deque<Answer>{Answer::kNo},
                                            {Answer::kYes, Answer::kYes, Answer::kNo},
                                            {Answer::kYes, Answer::kCancel},
                                            {Answer::kYes, Answer::kYes, Answer::kCancel}}) {
    FakeRun run;
    run.Add({"A - B - C.mp3", "B - C - A.mp3", "C - A - B.mp3"});
    run.Slot(0, 14, " - ");  // mirrored: a three-cycle
    run.state.resolveChains = true;
    const Files before = run.Disk();
    run(answers);
    EXPECT_EQ(run.Disk(), before) << answers.size();
    EXPECT_EQ(run.run.dialogs.asked, Files(order.begin(), order.begin() + answers.size()));
  }
}

// A stop after a file's first slot: "&Alle" finishes the file's confirmed
// slots, "&Ja" takes the first one back; so does a stop that cuts the second
// question short (a terminal closed). The next file is not touched. With
// chains resolved: the command line's hang-up test.
TEST(RunBatch, StopBetweenSlotsNeverLeavesAFileHalfRenamed) {
  struct Stop : StopSignal, CommitObserver {
    const std::vector<std::string>* asked = nullptr;  // stop from the second question on
    bool committed = false;
    bool StopRequested() override { return asked ? asked->size() >= 2 : committed; }
    void Committed(const std::string&, const std::string&) override { committed = true; }
  };
  struct Row {
    bool duringQuestion;
    std::deque<Answer> answers;
    Files after;
  };
  const Files finished = {"A2.TXT=a1.txt", "b1.txt=b1.txt"},
              back = {"a1.txt=a1.txt", "b1.txt=b1.txt"};
  const Row rows[] = {{false, {Answer::kAll}, finished},
                      {false, {Answer::kYes}, back},
                      {true, {Answer::kYes, Answer::kClosed}, back}};
  for (const Row& row : rows) {
    FakeRun run;
    run.Add({"a1.txt", "b1.txt"});
    run.Slot(0, 1, "1", "2");
    run.Slot(1, 16);
    Stop stop;
    if (row.duringQuestion) stop.asked = &run.run.dialogs.asked;
    run.run.services.stop = &stop;
    run.run.services.committed = &stop;
    run(row.answers);
    EXPECT_EQ(run.Disk(), row.after) << row.duringQuestion << row.answers.size();
    EXPECT_EQ(run.run.dialogs.asked.size(), row.answers.size());
  }
}

// A run takes a new name from its plan only where the plan walked the same
// name into the same folder: after a "&Nein", or with a plan for another
// kind of run, the slot works it out itself.
TEST(RunBatch, NamesFromThePlanOnlyWhereTheyFit) {
  struct Row {
    RunKind planKind;
    std::deque<Answer> answers;
    Files after;
  };
  const Row rows[] = {
      {RunKind::kRename, {Answer::kAll}, {"B.TXT=a.txt", "c.txt=c.txt"}},
      {RunKind::kRename, {Answer::kNo, Answer::kAll}, {"A.TXT=a.txt", "c.txt=c.txt"}},
      {RunKind::kCopy, {Answer::kAll}, {"B.TXT=a.txt", "c.txt=c.txt"}}};
  for (const Row& row : rows) {
    FakeRun run;
    run.Add({"a.txt", "c.txt"});
    run.found[1].marked = false;
    run.Slot(0, 1, "a", "b");
    run.Slot(1, 16);
    const RunPlan plan =
        PlanRun(row.planKind, run.job, run.found, kDir + "D" + kPathSeparator, run.disk);
    ASSERT_EQ(plan.steps.size(), 2U);
    run.run.dialogs.dialogAnswers = row.answers;
    const std::optional<CheckedJob> checked = CheckJob(run.job, run.run.services.messages);
    ASSERT_TRUE(checked);
    run.state.context.reporter = &run.run.services.reporter;
    RunCommand(RunKind::kRename, run.state, *checked, run.found, run.run.services, false, &plan);
    EXPECT_EQ(run.Disk(), row.after) << row.answers.size();
  }
}

}  // namespace
}  // namespace velmora
