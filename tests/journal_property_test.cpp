// Runs with group commit stopped anywhere: random jobs over small real
// folders with chains and cycles, random answers, a stop request at a random
// question or the process killed after a random step; then undo. Whatever
// happened, the folders end as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "engine/batch_run.h"
#include "services/journal.h"
#include "services/posix_file_system.h"
#include "services/settle_first.h"
#include "tests/support/scripted_undo.h"
#include "tests/support/shell_tools.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Disk = std::map<std::string, std::string>;

struct Case {
  RunKind kind;
  RenameJob job;
  std::vector<FoundEntry> found;
  std::deque<Answer> answers;
  bool resolve;
  int stopAt, killAt;
};

const char* const kNames[] = {"P - Q.mp3", "Q - P.mp3", "K - L - M", "L - M - K", "M - K - L",
                              "a - b.txt", "b - a.txt", "x.txt",     "X - x.txt", "f1 - f2"};

Case RandomCase(std::mt19937& random, const std::string& folder) {
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  Case c;
  constexpr RunKind kKinds[] = {RunKind::kRename, RunKind::kRename, RunKind::kMove, RunKind::kCopy};
  c.kind = kKinds[pick(0, 3)];
  testing::SetSlot(c.job, 0, 14, " - ");  // a mirror: swaps
  if (pick(0, 1) == 0)
    testing::SetSlot(c.job, 1, pick(0, 1) == 0 ? 16 : 17);  // a chain: upper or lower case
  for (const char* name : kNames) {
    if (pick(0, 4) == 0) continue;
    WriteFile(folder + name, std::string("content of ") + name);
    c.found.push_back({folder + name, pick(0, 5) != 0});
  }
  std::sort(c.found.begin(), c.found.end(),
            [](const FoundEntry& a, const FoundEntry& b) { return a.path < b.path; });
  constexpr Answer kAnswers[] = {Answer::kYes, Answer::kYes, Answer::kNo, Answer::kAll,
                                 Answer::kCancel};
  for (int i = 0; i < 24; ++i) c.answers.push_back(kAnswers[pick(0, 4)]);
  c.resolve = pick(0, 2) != 0;
  c.stopAt = pick(0, 1) == 0 ? pick(1, 12) : 0;
  c.killAt = c.stopAt == 0 ? pick(1, 6) : 0;
  return c;
}

void RunCase(Case& c, const std::string& journal, const std::string& dest) {
  PosixFileSystem disk, planDisk;
  testing::ScriptedRun run(disk);
  JournalFile file(journal);
  JournalWriter writer(file, run.recorders);
  ASSERT_FALSE(writer.Begin("rename"));
  writer.DeferDoneRecords(true);
  file.KeepLockBriefly(true);
  // The journal settles before each question, as the front ends do.
  SettleFirst dialogs([&writer] { (void)writer.Settle(); }, run.dialogs, run.recorders,
                      run.recorders);
  run.dialogs.dialogAnswers = c.answers;
  Interrupter interrupter(c.stopAt, c.killAt);
  RunServices services{disk, dialogs, run.recorders, run.recorders, run.recorders};
  services.journal = &writer;
  services.stop = &interrupter;
  services.committed = &interrupter;
  services.planDisk = &planDisk;
  RunState state;
  state.context.destPath = dest;
  state.resolveChains = c.resolve;
  testing::CheckAndRun(c.kind, state, c.job, c.found, services, false);
  writer.End();
}

int Undo(const std::string& journal) {
  JournalFile file(journal);
  testing::Recorders recorders;
  testing::RecordedUndo output;
  const int left = testing::UndoAll(file, recorders, output);
  for (const std::string& error : recorders.errors) ADD_FAILURE() << error;
  for (const std::string& message : recorders.messages) ADD_FAILURE() << message;
  return left;
}

TEST(JournalProperty, UndoAfterAStopOrAKillAnywhereRestoresTheFolders) {
  std::mt19937 random(2212);
  int killed = 0;
  for (int round = 0; round < 36; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempFolder src, dst, state;
    Case c = RandomCase(random, src.path());
    const std::vector<std::string> folders{src.path(), dst.path()};
    const Disk before = Snapshot(folders);
    const std::string journal = state / "j";
    if (c.killAt > 0) {
      killed += WIFSIGNALED(InChild([&] { RunCase(c, journal, dst.path()); })) ? 1 : 0;
    } else {
      RunCase(c, journal, dst.path());
    }
    EXPECT_EQ(Undo(journal), 0);
    EXPECT_EQ(Snapshot(folders), before);
  }
  EXPECT_GE(killed, 6);  // the kills came inside the runs
}

}  // namespace
}  // namespace velmora
