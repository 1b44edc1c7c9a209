#include "engine/commit.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/error_numbers.h"
#include "engine/path.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using Files = std::vector<std::string>;
const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;
const std::string kA = kDir + "a.txt", kB = kDir + "b.txt";

struct Commit {
  explicit Commit(bool ignoreCase = false, bool copy = false) : disk(ignoreCase), run(disk) {
    state.context.kind = copy ? RunKind::kCopy : RunKind::kRename;
    disk.AddFile(kA, "new");
  }
  void operator()(const std::string& dest, std::deque<Answer> answers = {}) {
    run.dialogs.dialog2Answers = std::move(answers);
    CommitFile(state, kA, dest, run.services);
  }
  testing::FakeFileSystem disk;
  testing::ScriptedRun run;
  RunState state;
};

// What each answer in Dialog2 does to an existing target is the window's
// run test (Ja, closed) and the run's (Alle, Abbrechen); how a failed commit
// is reported, the run test on a real folder. A source that vanished since
// the search is passed over.
TEST(CommitFile, MissingSourceIsSilent) {
  Commit commit(false, /*copy=*/true);
  ASSERT_FALSE(commit.disk.Delete(kA));
  commit(kB);
  EXPECT_TRUE(commit.run.recorders.errors.empty());
  EXPECT_TRUE(commit.run.recorders.messages.empty());
}

// After DeleteTarget there is one more try; its failure is reported and the
// step ends, so "&Alle" can never loop.
TEST(CommitFile, SecondFailureIsReportedNotLooped) {
  Commit failedDelete;
  failedDelete.disk.AddFile(kB, "old");
  failedDelete.disk.Fail("Delete", {kPermissionDenied, "Permission denied"});
  failedDelete(kB, {Answer::kAll});
  EXPECT_EQ(failedDelete.run.recorders.errors,
            (Files{testing::Reported(Location::kDeleteTarget, kPermissionDenied) +
                       "Fehler beim Löschen|" + kB + "|Permission denied",
                   testing::Reported(Location::kCommit, kFileExists) + CommitFailureText(kA, kB) +
                       "||File exists"}));

  Commit comesBack;
  comesBack.disk.AddFile(kB, "old");
  comesBack.state.deleteAll = true;
  comesBack.disk.afterChange = [&](const std::string& op, const std::string& path) {
    if (op == "Delete") comesBack.disk.AddFile(path, "again");
  };
  comesBack(kB);
  EXPECT_EQ(comesBack.run.recorders.errors.size(), 1u);
  EXPECT_EQ(comesBack.disk.Content(kA), "new");
}

// A destination naming the source file under another spelling or another
// link is never deleted: without the checks, "&Ja" in Dialog2 would delete
// the only copy. The same path is a run test on the real disk.
TEST(CommitFile, DestinationIsTheSourceItself) {
  for (bool copy : {false, true}) {
    Commit otherCase(/*ignoreCase=*/true, copy);
    otherCase(kDir + "A.txt", {Answer::kYes});
    EXPECT_EQ(otherCase.disk.Files(), Files{copy ? kA : kDir + "A.txt"}) << copy;
    EXPECT_EQ(otherCase.disk.Content(kA), "new");
    EXPECT_TRUE(otherCase.run.dialogs.asked.empty());
  }

  Commit link;  // another link of the source: kept, and the step reported
  link.disk.AddLink(kA, kB);
  link(kB, {Answer::kYes});
  EXPECT_EQ(link.disk.Files(), (Files{kA, kB}));
  EXPECT_EQ(link.run.recorders.errors.size(), 1u);
}

// A journal whose failAt-th call fails (0: none), and that says whether it
// looked at each source as it wrote the step's intent ahead.
class ScriptedJournal : public RunJournal {
 public:
  explicit ScriptedJournal(int failAt, bool looked = false) : failAt_(failAt), looked_(looked) {}
  bool LookedAhead(FileOp, const std::string&, const std::string&, FileIdentity&) override {
    return looked_;
  }
  Error Intent(FileOp, const std::string&, const std::string&, const FileIdentity*,
               std::string_view) override {
    return Next();
  }
  Error Done(FileOp, const std::string&, const std::string&) override { return Next(); }
  void Abandoned(FileOp, const std::string&, const std::string&) override {}

 private:
  Error Next() { return ++calls_ == failAt_ ? Error{kDiskFull, "Disk full"} : Error{}; }
  int failAt_;
  bool looked_;
  int calls_ = 0;
};

// A journal that fails at any call of a case change stops the run, and the
// file never stays under its rename temporary.
TEST(CommitFile, FailingJournalLeavesNoTemporary) {
  for (int failAt = 1; failAt <= 5; ++failAt) {
    Commit otherCase(/*ignoreCase=*/true);
    ScriptedJournal journal(failAt);
    otherCase.run.services.journal = &journal;
    EXPECT_EQ(CommitFile(otherCase.state, kA, kDir + "A.txt", otherCase.run.services),
              CommitResult::kStopRun)
        << failAt;
    // Stopped before the second move went through: back under the old name.
    EXPECT_EQ(otherCase.disk.Files(), Files{failAt <= 4 ? kA : kDir + "A.txt"}) << failAt;
  }
}

// A case change whose second move fails and whose file cannot go back
// either is not reported as unchanged: the message names where it is.
TEST(CommitFile, FileLeftUnderItsTemporaryIsNamed) {
  Commit otherCase(/*ignoreCase=*/true);
  otherCase.disk.afterChange = [&](const std::string&, const std::string&) {
    otherCase.disk.Fail("Move", {kPermissionDenied, "Permission denied"});
  };
  otherCase(kDir + "A.txt");
  const Files left = otherCase.disk.Files();
  ASSERT_EQ(left.size(), 1u);
  ASSERT_NE(left[0], kA);
  ASSERT_EQ(otherCase.run.recorders.messages.size(), 1u);
  EXPECT_TRUE(otherCase.run.recorders.messages[0].ends_with("\r\n" + left[0]));
}

// A journal failing after a rename went through stops the run, and the
// rename is still shown; one failing before it shows nothing.
TEST(CommitFile, StepBeforeAFailedDoneRecordIsShown) {
  for (int failAt = 1; failAt <= 2; ++failAt) {
    Commit commit;
    ScriptedJournal journal(failAt);
    testing::CommitLog shown;
    commit.run.services.journal = &journal;
    commit.run.services.committed = &shown;
    EXPECT_EQ(CommitFile(commit.state, kA, kB, commit.run.services), CommitResult::kStopRun);
    EXPECT_EQ(commit.disk.Files(), Files{failAt == 1 ? kA : kB});
    EXPECT_EQ(shown.steps, failAt == 1 ? Files{} : Files{kA + " -> " + kB}) << failAt;
  }
}

// A step taken on the journal's look, without one of its own, ends as one
// that looked first, whatever the disk holds by then; when it goes through
// it costs the disk the move alone.
TEST(CommitFile, StepOnTheJournalsLookEndsAsOneThatLooked) {
  const struct {
    const char* what;
    std::function<void(Commit&)> setUp;
    std::deque<Answer> answers;
  } rows[] = {
      {"free", [](Commit&) {}, {}},
      {"source gone", [](Commit& c) { ASSERT_FALSE(c.disk.Delete(kA)); }, {}},
      {"target kept", [](Commit& c) { c.disk.AddFile(kB, "old"); }, {Answer::kCancel}},
      {"target deleted", [](Commit& c) { c.disk.AddFile(kB, "old"); }, {Answer::kYes}},
      {"other link", [](Commit& c) { c.disk.AddLink(kA, kB); }, {Answer::kYes}},
      {"move refused",
       [](Commit& c) {
         c.disk.Fail("Move", {kPermissionDenied, "Permission denied"});
       },
       {}},
  };
  for (const auto& row : rows) {
    std::vector<Files> seen[2];
    for (const bool looked : {false, true}) {
      Commit commit;
      ScriptedJournal journal(0, looked);
      commit.run.services.journal = &journal;
      row.setUp(commit);
      commit.disk.calls.clear();
      commit(kB, row.answers);
      seen[looked] = {commit.disk.Files(), commit.run.recorders.errors,
                      commit.run.recorders.messages, commit.run.dialogs.asked};
      if (looked && std::string(row.what) == "free") {
        EXPECT_EQ(commit.disk.calls, Files{"Move " + kA + " " + kB});
      }
    }
    EXPECT_EQ(seen[true], seen[false]) << row.what;
  }
}

}  // namespace
}  // namespace velmora
