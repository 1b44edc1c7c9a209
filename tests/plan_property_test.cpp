// The plan against the run it foretells: random jobs over random small real
// folders, every question answered "&Ja". Wherever the plan sees no
// conflict, the disk must end as the plan says.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "engine/batch_run.h"
#include "engine/plan.h"
#include "services/plan_disk.h"
#include "services/posix_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using Disk = std::map<std::string, std::string>;  // path -> content

// Every file below the folders with its content.
Disk Snapshot(const std::vector<std::string>& folders) {
  Disk disk;
  for (const std::string& folder : folders) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.is_regular_file()) disk[entry.path().string()] = ReadFile(entry.path().string());
    }
  }
  return disk;
}

// The disk after the plan's steps, played on the starting disk.
Disk Played(Disk disk, const RunPlan& plan, RunKind kind) {
  for (const PlanStep& step : plan.steps) {
    if (step.state == PlanState::kUnchanged) continue;
    const std::string content = disk.at(step.source);
    if (kind != RunKind::kCopy) disk.erase(step.source);
    disk[step.destination] = content;
  }
  return disk;
}

class Recorder : public CommitObserver {
 public:
  void Committed(const std::string& source, const std::string& destination) override {
    commits.push_back(source + " -> " + destination);
  }
  std::vector<std::string> commits;
};

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
    const int code = random.Int(0, 3) == 0 ? 0 : random.Int(1, 17);
    job.slotCode[i] = code;
    const bool countFirst = (code >= 5 && code <= 7) || (code >= 10 && code <= 12);
    const bool positionSecond = code == 4 || code == 7 || code == 12;
    job.txtSource[i] = countFirst ? random.Pick(kNumbers) : random.Pick(kTexts);
    job.txtDestination[i] = positionSecond ? random.Pick(kNumbers) : random.Pick(kTexts);
  }
  return job;
}

TEST(PlanProperty, PlanEqualsWhatARunAnsweredYesDoes) {
  Random random{std::mt19937(20240611)};
  int withConflict = 0, clean = 0, refused = 0;
  for (int round = 0; round < 300; ++round) {
    TempFolder src, dst;
    const std::string sub = src / "sub/";
    std::filesystem::create_directory(sub);
    std::vector<FoundEntry> found;
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
    std::sort(found.begin(), found.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return a.path < b.path; });
    const RunKind kind = static_cast<RunKind>(random.Int(0, 2));
    const std::string destPath = kind == RunKind::kRename ? "" : dst.path();
    RenameJob job = RandomJob(random);
    const std::string what = "round " + std::to_string(round);

    LocalPlanDisk planDisk;
    const RunPlan plan = PlanRun(kind, job, found, destPath, planDisk);
    const Disk before = Snapshot({src.path(), sub, dst.path()});

    PosixFileSystem disk;
    testing::ScriptedRun run(disk);
    run.dialogs.dialogAnswers.assign(64, kAnswerYes);
    run.dialogs.dialog2Answers.assign(64, kAnswerYes);
    Recorder recorder;
    run.services.committed = &recorder;
    RunState state;
    state.context.destPath = destPath;
    RunCommand(kind, state, job, found, run.services, false);
    const Disk after = Snapshot({src.path(), sub, dst.path()});
    ASSERT_EQ(run.dialogs.unexpected, 0) << what;

    if (!plan.refusal.empty()) {
      ++refused;
      EXPECT_EQ(after, before) << what;
      continue;
    }
    // Every entry the plan sees no conflict for ends where it says.
    for (const PlanRow& row : plan.rows) {
      if (IsConflict(row.state)) continue;
      const std::string original = found[row.entry].path;
      ASSERT_EQ(after.count(row.finalPath), 1u) << what << " " << row.finalPath;
      EXPECT_EQ(after.at(row.finalPath), before.at(original)) << what << " " << row.finalPath;
      if (kind == RunKind::kCopy) {
        EXPECT_EQ(after.at(original), before.at(original)) << what;
      }
    }
    if (plan.conflicts > 0) {
      ++withConflict;
      continue;
    }
    // Without conflicts the whole disk, intermediate copies included, and
    // every commit are as planned.
    ++clean;
    EXPECT_EQ(after, Played(before, plan, kind)) << what;
    std::vector<std::string> planned;
    for (const PlanStep& step : plan.steps) {
      if (step.state != PlanState::kUnchanged)
        planned.push_back(step.source + " -> " + step.destination);
    }
    EXPECT_EQ(recorder.commits, planned) << what;
  }
  // The random cases reach all three outcomes.
  EXPECT_GT(withConflict, 10);
  EXPECT_GT(clean, 100);
  EXPECT_GT(refused, 5);
}

}  // namespace
}  // namespace velmora
