// The plan against the run it foretells: random jobs over random small real
// folders, every question answered "&Ja" or "&Alle" in any mix (or every
// taken target kept). Wherever the plan sees no conflict, the disk must end
// as the plan says. And whatever the answers, a rename or move never loses
// a marked file's content. Also what only the real disk shows about a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "engine/batch_run.h"
#include "engine/plan.h"
#include "services/posix_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Disk = std::map<std::string, std::string>;  // path -> content

// The disk after the plan's steps, played on the starting disk.
Disk Played(Disk disk, const RunPlan& plan, RunKind kind) {
  for (const PlanStep& step : plan.steps) {
    if (step.state == PlanState::kUnchanged || step.refused) continue;
    const std::string content = disk.at(step.source);
    if (kind != RunKind::kCopy) disk.erase(step.source);
    disk[step.destination] = content;
  }
  return disk;
}

struct Random {
  std::mt19937 engine;
  template <typename T>
  const T& Pick(const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(engine)];
  }
  int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
};

const std::vector<std::string> kNames = {
    "a.txt",     "b.txt",     "A.txt",  "ab.txt", "f1.mp3",      "f2.mp3",     "f11.mp3",
    "A - B.mp3", "B - A.mp3", "x - y",  "1.txt",  "2.txt",       "a1b2.txt",   "b - a.txt",
    "a - b.txt", "noext",     "ba.mp3", "12.txt", "Ab - Cd.mp3", "Cd - Ab.mp3"};
const std::vector<std::string> kTexts = {"a", "b", "1",    "2",  " - ", "A", ".",
                                         "-", "x", ".txt", "ab", "",    "b"};
const std::vector<std::string> kNumbers = {"1", "2", "3", "01", "10", "1", "2", "0", "3", "1"};

RenameJob RandomJob(Random& random) {
  RenameJob job;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    // Numbering often, its anchors missing on some files.
    int code = random.Int(0, 3) == 0 ? 0 : random.Int(1, 17);
    if (code != 0 && random.Int(0, 3) == 0) code = random.Int(10, 12);
    job.slotCode[i] = code;
    const bool countFirst = (code >= 5 && code <= 7) || (code >= 10 && code <= 12);
    const bool positionSecond = code == 4 || code == 7 || code == 12;
    job.txtSource[i] = countFirst ? random.Pick(kNumbers) : random.Pick(kTexts);
    job.txtDestination[i] = positionSecond ? random.Pick(kNumbers) : random.Pick(kTexts);
  }
  return job;
}

void SortByPath(std::vector<FoundEntry>& found) {
  std::sort(found.begin(), found.end(),
            [](const FoundEntry& a, const FoundEntry& b) { return a.path < b.path; });
}

// One random case: marked and unmarked files in a folder and a sub-folder,
// strangers in the destination, a kind and a job.
struct Round {
  explicit Round(Random& random) {
    const std::string sub = src / "sub/";
    std::filesystem::create_directory(sub);
    folders = {src.path(), sub, dst.path()};
    for (int n = random.Int(1, 7); n > 0; --n) {
      // Some in a sub-folder, as a search with sub-folders finds them.
      const std::string path = (random.Int(0, 3) == 0 ? sub : src.path()) + random.Pick(kNames);
      if (testing::FileExists(path)) continue;
      WriteFile(path, path);
      found.push_back({path, random.Int(0, 3) != 0});
    }
    for (int n = random.Int(0, 2); n > 0; --n) {
      const std::string& name = random.Pick(kNames);
      WriteFile(dst / name, "dest " + name);
    }
    SortByPath(found);
    constexpr RunKind kKinds[] = {RunKind::kRename, RunKind::kCopy, RunKind::kMove};
    kind = kKinds[random.Int(0, 2)];
    destPath = kind == RunKind::kRename ? "" : dst.path();
    job = RandomJob(random);
  }
  void Run(testing::ScriptedRun& run, bool resolve = false) {
    RunState state;
    state.context.destPath = destPath;
    state.resolveChains = resolve;
    testing::CheckAndRun(kind, state, job, found, run.services, false);
  }

  TempFolder src, dst;
  std::vector<std::string> folders;
  std::vector<FoundEntry> found;
  RunKind kind;
  std::string destPath;
  RenameJob job;
};

// Often a mirror first, over a swap and a three-cycle among the files, and
// a move within the files' own folder.
void AddCycles(Round& r, Random& random) {
  if (random.Int(0, 1) == 0) return;
  r.job.slotCode[0] = 14;
  r.job.txtSource[0] = " - ";
  for (const char* name : {"P - Q.mp3", "Q - P.mp3", "K - L - M", "L - M - K", "M - K - L"}) {
    if (random.Int(0, 4) == 0) continue;
    WriteFile(r.src / name, name);
    r.found.push_back({r.src / name, random.Int(0, 5) != 0});
  }
  SortByPath(r.found);
  if (r.kind == RunKind::kMove && random.Int(0, 1) == 0) r.destPath = r.src.path();
}

// "&Ja" up to a random step, then "&Alle"; the same in `Dialog2`, whose
// first "&Alle" is what --overwrite-all answers.
std::deque<Answer> JaThenAlle(Random& random, bool neverAlle) {
  std::deque<Answer> answers(64, Answer::kYes);
  const int alle = random.Int(0, 8);
  if (!neverAlle && alle < 64) answers[static_cast<std::size_t>(alle)] = Answer::kAll;
  return answers;
}

// A run over the real disk, its commits recorded.
struct DiskRun {
  DiskRun() {
    run.services.planDisk = &planDisk;
    run.services.committed = &log;
  }
  PosixFileSystem disk;
  PosixFileSystem planDisk;
  testing::ScriptedRun run{disk};
  CommitLog log;
};

// The random cases reach every outcome: conflicts, clean runs, and refused
// jobs (or, with chains resolved, ordered runs).
void ExpectEveryOutcome(int withConflict, int clean, int refusedOrOrdered, bool resolve) {
  EXPECT_GT(withConflict, 10);
  EXPECT_GT(clean, resolve ? 50 : 100);
  EXPECT_GT(refusedOrOrdered, resolve ? 10 : 5);
}

// Every question was one the run may ask, and no deletion went unplanned.
void ExpectOnlyPlannedQuestions(const testing::ScriptedDialogs& dialogs) {
  EXPECT_EQ(dialogs.unexpected, 0);
  for (const std::string& asked : dialogs.asked) {
    EXPECT_EQ(asked.find("delete unplanned"), std::string::npos) << asked;
  }
}

// Every entry the plan sees no conflict for ends where it says.
void ExpectRowsAsPlanned(const Round& r, const RunPlan& plan, const Disk& before,
                         const Disk& after) {
  for (const PlanRow& row : plan.rows) {
    if (IsConflict(row.state)) continue;
    const std::string original = r.found[row.entry].path;
    ASSERT_EQ(after.count(row.finalPath), 1u) << row.finalPath;
    EXPECT_EQ(after.at(row.finalPath), before.at(original)) << row.finalPath;
    if (r.kind == RunKind::kCopy) {
      EXPECT_EQ(after.at(original), before.at(original));
    }
  }
}

// A plan without conflicts: the whole disk as planned.
void ExpectDiskAsPlanned(const Round& r, const RunPlan& plan, const Disk& before, const Disk& after,
                         const std::vector<std::string>& commits, bool resolve) {
  if (resolve) {
    Disk expected = before;
    for (const PlanRow& row : plan.rows) expected.erase(r.found[row.entry].path);
    for (const PlanRow& row : plan.rows) {
      expected[row.finalPath] = before.at(r.found[row.entry].path);
    }
    EXPECT_EQ(after, expected);
    return;
  }
  EXPECT_EQ(after, Played(before, plan, r.kind));
  std::vector<std::string> planned;
  for (const PlanStep& step : plan.steps) {
    if (step.state != PlanState::kUnchanged)
      planned.push_back(step.source + " -> " + step.destination);
  }
  EXPECT_EQ(commits, planned);
}

// Every entry the plan sees no conflict for ends where it says. Without
// any conflict the whole disk is as planned: played step by step (copies
// leave their intermediates), or with chains resolved, each file moved
// once to its final name; and without resolving, every commit is a step
// of the plan in its order.
void PlanEqualsWhatTheRunDoes(bool resolve, unsigned seed) {
  Random random{std::mt19937(seed)};
  int withConflict = 0, clean = 0, refused = 0, ordered = 0;
  for (int round = 0; round < 300; ++round) {
    Round r(random);
    if (resolve) {
      if (r.kind == RunKind::kCopy) continue;
      AddCycles(r, random);
    }
    SCOPED_TRACE("round " + std::to_string(round));
    DiskRun disk;
    // Some runs keep every taken target, as --yes-all without --overwrite-all.
    const bool keep = random.Int(0, 2) == 0;
    const RunPlan plan =
        PlanRun(r.kind, r.job, r.found, r.destPath, disk.planDisk, true, resolve, keep);
    const Disk before = Snapshot(r.folders);
    disk.run.dialogs.dialogAnswers = JaThenAlle(random, random.Int(0, 2) == 0);
    disk.run.dialogs.dialog2Answers = JaThenAlle(random, random.Int(0, 1) == 0);
    if (keep) disk.run.dialogs.dialog2Answers.assign(64, Answer::kCancel);
    r.Run(disk.run, resolve);
    const Disk after = Snapshot(r.folders);
    ExpectOnlyPlannedQuestions(disk.run.dialogs);
    if (!plan.refusal.empty()) {
      ++refused;
      EXPECT_EQ(after, before);
      continue;
    }
    ordered += plan.order.empty() ? 0 : 1;
    ExpectRowsAsPlanned(r, plan, before, after);
    if (plan.conflicts > 0) {
      ++withConflict;
      continue;
    }
    ++clean;
    ExpectDiskAsPlanned(r, plan, before, after, disk.log.steps, resolve);
  }
  ExpectEveryOutcome(withConflict, clean, resolve ? ordered : refused, resolve);
}

TEST(PlanProperty, PlanEqualsWhatARunAnsweredJaOrAlleDoes) {
  PlanEqualsWhatTheRunDoes(false, 20240611);
}
// With chains resolved, chains and cycles included, and nothing else moves.
TEST(PlanProperty, ResolvedRunEndsAsPlanned) { PlanEqualsWhatTheRunDoes(true, 4711); }

// Any answers, "&Nein" and "&Abbrechen" included: after a rename or move,
// the content of every marked file is still on disk somewhere, and with
// chains resolved no rename temporary is left.
void NeverLoseAMarkedFile(bool resolve) {
  Random random{std::mt19937(771)};
  const std::vector<Answer> dialog = {Answer::kYes, Answer::kYes, Answer::kYes,   Answer::kNo,
                                      Answer::kNo,  Answer::kAll, Answer::kCancel};
  const std::vector<Answer> dialog2 = {Answer::kYes, Answer::kAll, Answer::kAll, Answer::kCancel};
  int moved = 0;
  for (int round = 0; round < 300; ++round) {
    Round r(random);
    if (r.kind == RunKind::kCopy) r.kind = RunKind::kRename;
    r.destPath = r.kind == RunKind::kRename ? "" : r.dst.path();
    if (resolve) AddCycles(r, random);
    const Disk before = Snapshot(r.folders);

    DiskRun disk;
    for (int i = 0; i < 64; ++i) {
      disk.run.dialogs.dialogAnswers.push_back(random.Pick(dialog));
      disk.run.dialogs.dialog2Answers.push_back(random.Pick(dialog2));
    }
    r.Run(disk.run, resolve);
    const Disk after = Snapshot(r.folders);
    std::multiset<std::string> contents;
    for (const auto& [path, content] : after) {
      contents.insert(content);
      EXPECT_EQ(path.find(".velmora-move"), std::string::npos) << "round " << round << " " << path;
    }
    for (const FoundEntry& entry : r.found) {
      if (!entry.marked) continue;
      EXPECT_EQ(contents.count(before.at(entry.path)), 1u)
          << "round " << round << " " << entry.path;
      moved += after.count(entry.path) == 0 ? 1 : 0;
    }
  }
  EXPECT_GT(moved, 100);  // the runs did move files
}

TEST(PlanProperty, RenameAndMoveNeverLoseAMarkedFile) { NeverLoseAMarkedFile(false); }
TEST(PlanProperty, ResolvedRunsNeverLoseAMarkedFile) { NeverLoseAMarkedFile(true); }

// The platform reports a step onto its own path as "exists"; "&Ja" in
// Dialog2 must not delete the only file.
TEST(RealRun, DestinationNamingTheSourceIsNeverDeleted) {
  TempFolder dir;
  WriteFile(dir / "X.TXT", "X.TXT");  // already upper case
  RenameJob job;
  testing::SetSlot(job, 0, 16);
  std::vector<FoundEntry> found = {{dir / "X.TXT", true}};
  DiskRun disk;
  disk.run.dialogs.dialogAnswers = {Answer::kYes};
  disk.run.dialogs.dialog2Answers = {Answer::kYes};
  RunState state;
  testing::CheckAndRun(RunKind::kRename, state, job, found, disk.run.services, false);
  EXPECT_EQ(disk.run.dialogs.asked, std::vector<std::string>{dir / "X.TXT -> " + dir / "X.TXT"});
  EXPECT_EQ(Snapshot({dir.path()}), (Disk{{dir / "X.TXT", "X.TXT"}}));
}

// A kept target holds its entry's file, so a step waiting for that entry's
// name is refused: the plan shows it and ends every file where the run does.
TEST(RealRun, StepWaitingOnAKeptTargetIsAConflictInThePlan) {
  TempFolder dir;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteFile(dir / name, name);
  RenameJob job;
  testing::SetSlot(job, 0, 1, "b", "c");  // b.txt -> c.txt, kept
  testing::SetSlot(job, 1, 1, "a", "b");  // a.txt -> b.txt, waits for b.txt
  testing::SetSlot(job, 2, 1, "c", "d");
  const std::vector<FoundEntry> found = {{dir / "a.txt", true}, {dir / "b.txt", true}};
  DiskRun disk;
  const RunPlan plan = PlanRun(RunKind::kRename, job, found, "", disk.planDisk, true, true, true);
  disk.run.dialogs.dialogAnswers.assign(8, Answer::kYes);
  disk.run.dialogs.dialog2Answers.assign(8, Answer::kCancel);
  RunState state;
  state.resolveChains = true;
  testing::CheckAndRun(RunKind::kRename, state, job, found, disk.run.services, false);
  ASSERT_EQ(plan.rows.size(), 2u);
  EXPECT_EQ(plan.rows[0].state, PlanState::kChain);
  for (const PlanRow& row : plan.rows) {
    EXPECT_EQ(ReadFile(row.finalPath), found[row.entry].path.substr(dir.path().size()));
  }
}

}  // namespace
}  // namespace velmora
