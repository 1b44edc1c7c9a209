#include "engine/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "engine/error_numbers.h"
#include "engine/path.h"
#include "engine/plan.h"
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
  // The three-cycle mirrored at " - ", chains resolved.
  void Cycle() {
    Add({"A - B - C.mp3", "B - C - A.mp3", "C - A - B.mp3"});
    Slot(0, 14, " - ");
    state.resolveChains = true;
  }
  void operator()(std::deque<Answer> answers, bool logOn = false) {
    run.dialogs.dialogAnswers = std::move(answers);
    testing::CheckAndRun(kind, state, job, found, run.services, logOn);
  }
  RunKind kind = RunKind::kRename;
  testing::FakeFileSystem disk;
  testing::ScriptedRun run;
  RunState state;
  RenameJob job;
  std::vector<FoundEntry> found;
};

// After "&Alle" an empty numbering step gives its number back as before it,
// so every mix of "&Ja" and "&Alle" names the files as the plan does. The
// empty result is logged but never asked about.
TEST(RunBatch, AlleNumbersAsJaWould) {
  for (const std::deque<Answer>& answers :
       {std::deque<Answer>{Answer::kAll}, std::deque<Answer>{Answer::kYes, Answer::kAll},
        std::deque<Answer>{Answer::kYes, Answer::kYes}}) {
    FakeRun run;
    run.Add({"a-x.txt", "b.txt", "c-x.txt"});
    run.disk.AddFile(kDir + "c-3x.txt", "precious");
    run.Slot(0, 10, "1", "-");
    const RunPlan plan = PlanRun(RunKind::kRename, run.job, run.found, "", run.disk);
    run(answers, /*logOn=*/true);
    EXPECT_EQ(run.Disk(),
              (Files{"a-1x.txt=a-x.txt", "b.txt=b.txt", "c-2x.txt=c-x.txt", "c-3x.txt=precious"}))
        << answers.size();
    EXPECT_EQ(plan.rows[2].finalPath, kDir + "c-2x.txt");
    EXPECT_EQ(run.run.dialogs.unexpected, 0);
    ASSERT_EQ(run.run.recorders.logLines.size(), 3u);  // one entry of nine lines per step
    EXPECT_TRUE(run.run.recorders.logLines[1].ends_with("\r\nnameDest= "));
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
  EXPECT_EQ(run.run.recorders.progress, (std::vector<int>{1, 2, 3}));
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

// With "Ketten auflösen": shifts go through, the later entry of a chain
// first. (Swaps, cycles and moves within the folder: the property tests and
// the command line's kill test.)
TEST(RunBatch, ChainsGoThroughLaterEntryFirst) {
  struct Row {
    std::vector<std::string> names;
    std::vector<std::array<std::string, 3>> slots;  // code, first, second
    Files after;
  };
  std::vector<std::string> numbered;
  Files shifted;
  for (int i = 1; i <= 200; ++i) numbered.push_back(std::to_string(1000 + i).substr(1) + ".txt");
  for (int i = 0; i < 200; ++i)
    shifted.push_back(std::to_string(1002 + i).substr(1) + ".txt=" + numbered[i]);
  const Row rows[] = {
      {{"x.txt", "xx.txt"}, {{"1", "x.txt", "xx.txt"}}, {"xx.txt=x.txt", "xxx.txt=xx.txt"}},
      {numbered, {{"12", "002", "1"}, {"7", "3", "4"}}, shifted},
  };
  for (const Row& row : rows) {
    FakeRun run;
    for (const std::string& name : row.names) run.Add({name.c_str()});
    run.Slots(row.slots);
    run.state.resolveChains = true;
    const RunPlan plan = PlanRun(run.kind, run.job, run.found, "", run.disk, true, true);
    EXPECT_EQ(plan.conflicts, 0);
    EXPECT_FALSE(plan.order.empty());
    run({Answer::kAll});
    EXPECT_EQ(run.Disk(), row.after);
    EXPECT_TRUE(run.run.recorders.errors.empty());
    EXPECT_EQ(run.run.dialogs.asked.size(), 1u);
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
    run.Cycle();
    const Files before = run.Disk();
    run(answers);
    EXPECT_EQ(run.Disk(), before) << answers.size();
    EXPECT_EQ(run.run.dialogs.asked, Files(order.begin(), order.begin() + answers.size()));
  }
}

// A step onto a marked file that stays is refused with kFileExists and logged,
// whether chains are resolved or not.
TEST(RunBatch, StepOntoAFileThatStaysIsReportedEitherWay) {
  const struct {
    std::vector<const char*> files;
    std::vector<std::array<std::string, 3>> slots;
    std::vector<const char*> refused;  // the refused steps' sources
  } rows[] = {{{"a-1.txt", "a_1.txt"}, {{"1", "-", "_"}}, {"a-1.txt"}},
              {{"a", "b", "c"}, {{"1", "b", "c"}, {"1", "a", "b"}}, {"a", "b"}}};
  for (const auto& row : rows) {
    for (const bool resolve : {false, true}) {
      FakeRun run;
      for (const char* file : row.files) run.Add({file});
      run.Slots(row.slots);
      run.state.resolveChains = resolve;
      const Files before = run.Disk();
      run({Answer::kAll}, /*logOn=*/true);
      EXPECT_EQ(run.Disk(), before) << resolve;
      std::vector<std::string> refused;
      for (const std::string& error : run.run.recorders.errors) {
        if (error.rfind(testing::Reported(Location::kCommit, kFileExists), 0) == 0) {
          refused.push_back(error);
        }
      }
      EXPECT_EQ(refused.size(), row.refused.size()) << resolve;
      for (const char* name : row.refused) {
        const std::string source = kDir + name;
        auto has = [](const std::vector<std::string>& texts, const std::string& part) {
          return std::any_of(texts.begin(), texts.end(), [&](const std::string& text) {
            return text.find(part) != std::string::npos;
          });
        };
        EXPECT_TRUE(has(refused, "Konnte \r\n" + source + "\r\n")) << resolve << source;
        EXPECT_TRUE(has(run.run.recorders.logLines, "nameSrc= " + source + "\r\n"))
            << resolve << source;
      }
    }
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

// A stop after a file's first slot: "&Alle" finishes the file's confirmed
// slots, "&Ja" takes the first one back; so does a stop that cuts the second
// question short (a terminal closed). The next file is not touched.
TEST(RunBatch, StopBetweenSlotsNeverLeavesAFileHalfRenamed) {
  struct Stop : StopSignal, CommitObserver {
    const std::vector<std::string>* asked = nullptr;  // stop from the second question on
    bool committed = false;
    bool StopRequested() override { return asked ? asked->size() >= 2 : committed; }
    void Committed(const std::string&, const std::string&) override { committed = true; }
  };
  struct Row {
    bool chains, duringQuestion;
    std::deque<Answer> answers;
    Files after;
  };
  const Files finished = {"A2.TXT=a1.txt", "b1.txt=b1.txt"},
              back = {"a1.txt=a1.txt", "b1.txt=b1.txt"};
  const Row rows[] = {{false, false, {Answer::kAll}, finished},
                      {false, false, {Answer::kYes}, back},
                      {false, true, {Answer::kYes, Answer::kClosed}, back},
                      {true, false, {Answer::kAll}, finished},
                      {true, false, {Answer::kYes}, back},
                      {true, true, {Answer::kYes, Answer::kClosed}, back}};
  for (const Row& row : rows) {
    FakeRun run;
    run.Add({"a1.txt", "b1.txt"});
    run.Slot(0, 1, "1", "2");
    run.Slot(1, 16);
    run.state.resolveChains = row.chains;
    Stop stop;
    if (row.duringQuestion) stop.asked = &run.run.dialogs.asked;
    run.run.services.stop = &stop;
    run.run.services.committed = &stop;
    run(row.answers);
    EXPECT_EQ(run.Disk(), row.after) << row.chains << row.duringQuestion << row.answers.size();
    EXPECT_EQ(run.run.dialogs.asked.size(), row.answers.size());
  }
}

}  // namespace
}  // namespace velmora
