#include "engine/commit.h"

#include <gtest/gtest.h>

#include "engine/path.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using testing::FakeFileSystem;
using testing::ScriptedRun;

const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;
const std::string kA = kDir + "a.txt";
const std::string kB = kDir + "b.txt";

struct CommitFixture {
  explicit CommitFixture(bool ignoreCase = false) : disk(ignoreCase), run(disk) {
    state.context.flags.renameFiles = true;
  }
  void Commit(const std::string& source, const std::string& dest) {
    state.nameSrc = source;
    state.nameDest = dest;
    CommitFile(state, state.nameSrc, state.nameDest, run.services);
  }
  FakeFileSystem disk;
  ScriptedRun run;
  RunState state;
};

TEST(CommitFile, RenameCopyAndMissingSource) {
  CommitFixture f;
  f.disk.AddFile(kA, "A");
  f.Commit(kA, kB);
  EXPECT_EQ(f.disk.Files(), (std::vector<std::string>{kB}));

  f.state.context.flags = RunFlags{false, false, true};
  f.Commit(kB, kA);
  EXPECT_EQ(f.disk.Files(), (std::vector<std::string>{kA, kB}));

  f.Commit(kDir + "gone.txt", kDir + "x.txt");  // vanished since the search
  EXPECT_TRUE(f.run.recorders.errors.empty());
  EXPECT_TRUE(f.run.recorders.messages.empty());
  EXPECT_TRUE(f.run.dialogs.asked.empty());
}

TEST(CommitFile, ExistingTargetFollowsDialog2) {
  struct Row {
    const char* name;
    int answer;
    bool replaced;
    bool messageShown;
  };
  const Row rows[] = {
      {"yes", kAnswerYes, true, false},
      {"all", kAnswerAll, true, false},
      {"cancel", kAnswerCancel, false, true},
      // Closed without a button, with a stale "&Ja" from before: never delete.
      {"closed", kAnswerClosed, false, true},
  };
  for (const Row& row : rows) {
    CommitFixture f;
    f.disk.AddFile(kA, "new");
    f.disk.AddFile(kB, "old");
    f.state.dialog2Ret = kAnswerYes;
    f.run.dialogs.dialog2Answers = {row.answer};
    f.Commit(kA, kB);
    EXPECT_EQ(f.disk.Content(kB), row.replaced ? "new" : "old") << row.name;
    EXPECT_EQ(f.disk.Has(kA), !row.replaced) << row.name;
    EXPECT_EQ(f.state.dialog2All, row.answer == kAnswerAll) << row.name;
    if (row.messageShown) {
      ASSERT_EQ(f.run.recorders.messages.size(), 1u) << row.name;
      EXPECT_EQ(f.run.recorders.messages[0],
                "Konnte \r\n" + kA + "\r\n nicht zu \r\n" + kB + "\r\numbenennen");
    }
  }
}

TEST(CommitFile, Dialog2AllAsksNoMore) {
  CommitFixture f;
  f.disk.AddFile(kA, "new");
  f.disk.AddFile(kB, "old");
  f.state.dialog2All = true;
  f.Commit(kA, kB);
  EXPECT_TRUE(f.run.dialogs.asked.empty());
  EXPECT_EQ(f.disk.Content(kB), "new");
}

// After DeleteTarget there is exactly one more try; a second failure is
// reported and the step ends, even with "&Alle".
TEST(CommitFile, SecondFailureIsReportedNotLooped) {
  {
    CommitFixture f;
    f.disk.AddFile(kA, "new");
    f.disk.AddFile(kB, "old");
    f.disk.Fail("Delete", {70, "Permission denied"});
    f.run.dialogs.dialog2Answers = {kAnswerAll};
    f.Commit(kA, kB);
    ASSERT_EQ(f.run.recorders.errors.size(), 2u);
    EXPECT_EQ(f.run.recorders.errors[0].location, 21);
    EXPECT_EQ(f.run.recorders.errors[0].context, "Fehler beim Löschen");
    EXPECT_EQ(f.run.recorders.errors[0].file, kB);
    EXPECT_EQ(f.run.recorders.errors[1].location, 20);
    EXPECT_EQ(f.run.recorders.errors[1].number, kErrFileExists);
    EXPECT_EQ(f.run.dialogs.asked.size(), 1u);
    EXPECT_EQ(f.disk.Content(kA), "new");
  }
  {
    // The target comes back right after each delete.
    CommitFixture f;
    f.disk.AddFile(kA, "new");
    f.disk.AddFile(kB, "old");
    f.state.dialog2All = true;
    f.disk.afterChange = [&](const std::string& op, const std::string& path) {
      if (op == "Delete") f.disk.AddFile(path, "again");
    };
    f.Commit(kA, kB);
    ASSERT_EQ(f.run.recorders.errors.size(), 1u);
    EXPECT_EQ(f.run.recorders.errors[0].location, 20);
    EXPECT_EQ(f.disk.Content(kA), "new");
  }
}

TEST(CommitFile, OtherFailuresAreReportedAtLocation20) {
  CommitFixture f;
  f.state.context.flags = RunFlags{false, false, true};
  f.disk.AddFile(kA, "A");
  f.disk.Fail("Copy", {61, "No space left on device"});
  f.Commit(kA, kB);
  ASSERT_EQ(f.run.recorders.errors.size(), 1u);
  const testing::ReportedError& e = f.run.recorders.errors[0];
  EXPECT_EQ(e.location, 20);
  EXPECT_EQ(e.number, 61);
  EXPECT_EQ(e.context, CommitFailureText(kA, kB));
  EXPECT_EQ(e.file, "");
  EXPECT_EQ(e.description, "No space left on device");
}

// A destination naming the source file itself must never be deleted.
TEST(CommitFile, DestinationIsTheSourceItself) {
  {
    CommitFixture f;
    f.disk.AddFile(kA, "A");
    f.run.dialogs.dialog2Answers = {kAnswerYes};
    f.Commit(kA, kA);
    EXPECT_EQ(f.disk.Content(kA), "A");
    EXPECT_TRUE(f.disk.calls.empty());
  }
  for (bool copy : {false, true}) {
    // A file system that ignores case: "a.txt" and "A.txt" are one file.
    CommitFixture f(/*ignoreCase=*/true);
    if (copy) f.state.context.flags = RunFlags{false, false, true};
    f.disk.AddFile(kA, "A");
    f.run.dialogs.dialog2Answers = {kAnswerYes};
    f.Commit(kA, kDir + "A.txt");
    EXPECT_EQ(f.disk.Files(), (std::vector<std::string>{copy ? kA : kDir + "A.txt"}));
    EXPECT_EQ(f.disk.Content(kA), "A");
    EXPECT_TRUE(f.run.dialogs.asked.empty());
    EXPECT_TRUE(f.run.recorders.errors.empty());
  }
}

TEST(DeleteTarget, NeverDeletesTheSourceUnderAnotherName) {
  {
    CommitFixture f(/*ignoreCase=*/true);
    f.disk.AddFile(kA, "A");
    f.state.nameDest = kDir + "A.TXT";
    EXPECT_FALSE(DeleteTarget(f.state, kA, f.run.services));
    EXPECT_TRUE(f.disk.Has(kA));
  }
  // Another link of the source: through a commit it is kept and the step is
  // reported; nothing is lost.
  CommitFixture f;
  f.disk.AddFile(kA, "A");
  f.disk.AddLink(kA, kB);
  f.state.nameDest = kB;
  f.run.dialogs.dialog2Answers = {kAnswerYes};
  f.Commit(kA, kB);
  EXPECT_TRUE(f.disk.Has(kA));
  EXPECT_TRUE(f.disk.Has(kB));
  ASSERT_EQ(f.run.recorders.errors.size(), 1u);
  EXPECT_EQ(f.run.recorders.errors[0].location, 20);
}

}  // namespace
}  // namespace velmora
