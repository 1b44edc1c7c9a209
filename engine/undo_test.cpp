#include "engine/undo.h"

#include <gtest/gtest.h>

#include "engine/batch_run.h"
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

struct UndoFixture {
  UndoFixture() : run(disk) {}
  // One run with slot 0 inserting `text` before the dot, every step confirmed.
  void RunOver(const Files& names, RunKind kind, const std::string& text) {
    std::vector<FoundEntry> found;
    for (const std::string& name : names) {
      if (!disk.Has(kDir + name)) disk.AddFile(kDir + name, name);
      found.push_back({kDir + name, true});
    }
    RenameJob job;
    job.slotCode[0] = 3;
    job.txtSource[0] = text;
    job.txtDestination[0] = ".";
    state.context.destPath = kDest;
    run.dialogs.dialogAnswers = {kAnswerAll};
    RunCommand(kind, state, job, found, run.services, false);
    run.dialogs.asked.clear();
  }
  void Undo(std::deque<int> answers) {
    run.dialogs.dialogAnswers = std::move(answers);
    MnuUndo_Click(state, run.services);
  }
  FakeFileSystem disk;
  ScriptedRun run;
  RunState state;
};

TEST(MnuUndo, WorkedExampleTakesBothStepsBackNewestFirst) {
  UndoFixture f;
  f.disk.AddFile(kDir + "a.txt");
  RenameJob job;
  job.slotCode = {1, 11, 0};
  job.txtSource = {"a", "1", ""};
  job.txtDestination = {"b", ".txt", ""};
  f.run.dialogs.dialogAnswers = {kAnswerYes, kAnswerYes};
  RunCommand(RunKind::kRename, f.state, job, {{kDir + "a.txt", true}}, f.run.services, false);
  f.run.dialogs.asked.clear();

  f.Undo({kAnswerYes, kAnswerYes});
  EXPECT_EQ(f.run.dialogs.asked, (Files{kDir + "b1.txt -> " + kDir + "b.txt",
                                        kDir + "b.txt -> " + kDir + "a.txt"}));
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt"}));
  EXPECT_EQ(f.state.undo.Count(), 0);
  EXPECT_EQ(f.run.recorders.searches, 2);
  EXPECT_FALSE(f.state.context.flags.renameFiles);
}

TEST(MnuUndo, CancelPartWayKeepsTheRestForNextTime) {
  UndoFixture f;
  f.RunOver({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}, RunKind::kRename, "1");
  f.Undo({kAnswerYes, kAnswerYes, kAnswerCancel});
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a1.txt", kDir + "b1.txt", kDir + "c1.txt",
                                   kDir + "d.txt", kDir + "e.txt"}));
  EXPECT_EQ(f.state.undo.Count(), 3);

  f.run.dialogs.asked.clear();
  f.Undo({kAnswerNo, kAnswerAll});
  EXPECT_EQ(f.run.dialogs.asked.front(), kDir + "c1.txt -> " + kDir + "c.txt");
  EXPECT_EQ(f.run.dialogs.asked.size(), 2u);  // "&Alle" asks no more
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt", kDir + "b.txt", kDir + "c1.txt",
                                   kDir + "d.txt", kDir + "e.txt"}));
  EXPECT_EQ(f.state.undo.Count(), 1);  // the declined one stays

  f.Undo({kAnswerYes});  // asks again: "&Alle" ended with the last undo
  EXPECT_EQ(f.state.undo.Count(), 0);
  EXPECT_TRUE(f.disk.Has(kDir + "c.txt"));
}

TEST(MnuUndo, TwoRunsComeBackInReverseOrder) {
  UndoFixture f;
  f.RunOver({"a.txt"}, RunKind::kRename, "1");
  f.RunOver({"a1.txt"}, RunKind::kRename, "2");
  f.Undo({kAnswerYes, kAnswerYes});
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt"}));
}

TEST(MnuUndo, EmptyNewPathIsNeverAskedNorRemoved) {
  UndoFixture f;
  f.state.undo.Append(kDir + "a.txt", "", '1');
  f.Undo({});
  EXPECT_TRUE(f.run.dialogs.asked.empty());
  EXPECT_EQ(f.state.undo.Count(), 1);
}

TEST(MnuUndo, MoveAndCopyRunsTakenBack) {
  UndoFixture f;
  f.RunOver({"a.txt", "b.txt"}, RunKind::kMove, "1");
  EXPECT_EQ(f.disk.Files(), (Files{kDest + "a1.txt", kDest + "b1.txt"}));
  f.Undo({kAnswerAll});
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt", kDir + "b.txt"}));

  // A copy goes back onto the original, which still exists: Dialog2 decides.
  f.RunOver({"a.txt"}, RunKind::kCopy, "1");
  f.run.dialogs.dialog2Answers = {kAnswerYes};
  f.Undo({kAnswerYes});
  EXPECT_EQ(f.run.dialogs.asked,
            (Files{kDest + "a1.txt -> " + kDir + "a.txt", "delete " + kDir + "a.txt"}));
  EXPECT_EQ(f.disk.Files(), (Files{kDir + "a.txt", kDir + "b.txt", kDest + "a1.txt"}));
  EXPECT_FALSE(f.state.context.flags.copyFiles);
}

TEST(UndoStore, KeepsRecordsInOrderAcrossRemovals) {
  UndoStore store;
  const Files folders = {kDir, kDest, ""};
  for (int i = 0; i < 300; ++i) {
    const std::string& folder = folders[static_cast<std::size_t>(i) % folders.size()];
    ASSERT_TRUE(store.Append(folder + "f" + std::to_string(i), kDest + "g" + std::to_string(i),
                             static_cast<char>('0' + i % 4)));
  }
  for (int i = 299; i >= 0; i -= 2) store.Remove(i);  // forces a compaction
  ASSERT_EQ(store.Count(), 150);
  for (int k = 0; k < store.Count(); ++k) {
    const int i = 2 * k;
    const UndoRecord record = store.Get(k);
    EXPECT_EQ(record.source, folders[static_cast<std::size_t>(i) % 3] + "f" + std::to_string(i));
    EXPECT_EQ(record.dest, kDest + "g" + std::to_string(i));
    EXPECT_EQ(record.kind, '0' + i % 4);
  }
}

TEST(UndoStore, HoldsAtMost32767RecordsInLittleMemory) {
  UndoStore store;
  const std::string folder = kDir + std::string(100, 'm') + kPathSeparator;
  for (int i = 0; i < UndoStore::kMaxRecords; ++i) {
    const std::string name = std::string(60, 'n') + std::to_string(i);
    ASSERT_TRUE(store.Append(folder + name + ".mp3", folder + name + "x.mp3", '1'));
  }
  EXPECT_FALSE(store.Append("a", "b", '1'));
  EXPECT_EQ(store.Count(), UndoStore::kMaxRecords);
  EXPECT_LT(store.MemoryUsage(), 20u * 1024 * 1024);
}

}  // namespace
}  // namespace velmora
