// The counter's step and its restart per folder, through the plan the
// preview shows (the run walks the same steps).
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/job.h"
#include "engine/plan.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using Paths = std::vector<std::string>;

// The plan for the found files under the folder /T/; copies go to /D/.
RunPlan Plan(const RenameJob& job, const Paths& names, RunKind kind = RunKind::kRename) {
  testing::FakeFileSystem disk;
  disk.AddFile("/D/other");
  std::vector<FoundEntry> found;
  for (const std::string& name : names) {
    disk.AddFile("/T/" + name, name);
    found.push_back({"/T/" + name, true});
  }
  return PlanRun(kind, job, found, kind == RunKind::kRename ? "" : "/D/", disk);
}

// The final names of the found files, in list order.
Paths Planned(const RenameJob& job, const Paths& names) {
  const RunPlan plan = Plan(job, names);
  Paths out;
  for (const PlanRow& row : plan.rows) out.push_back(row.finalPath.substr(3));
  return out;
}

TEST(NumberOptions, StepGiveBackAndRestartPerFolder) {
  struct Row {
    const char* what;
    std::vector<std::array<std::string, 3>> slots;  // code, first, second
    std::string step;
    bool restart;
    Paths names;
    Paths expected;
  };
  const Row rows[] = {
      {"two slots share one counter",
       {{"11", "1", "-"}, {"10", "1", "-"}},
       "10",
       false,
       {"a-x", "b-x"},
       {"a1-11x", "b21-31x"}},
      {"a file without the anchor gives the step back",
       {{"10", "1", "-"}},
       "10",
       false,
       {"a-x", "b", "c-x"},
       {"a-1x", "b", "c-11x"}},
      {"one counter and width per folder, files of a folder apart",
       {{"10", "01", "-"}},
       "1",
       true,
       {"a-x", "S/b-x", "S/c", "d-x", "S/e-x"},
       {"a-01x", "S/b-01x", "S/c", "d-02x", "S/e-02x"}},
  };
  for (const Row& row : rows) {
    RenameJob job;
    for (std::size_t i = 0; i < row.slots.size(); ++i) {
      testing::SetSlot(job, static_cast<int>(i), std::stoi(row.slots[i][0]), row.slots[i][1],
                       row.slots[i][2]);
    }
    job.numberStep = row.step;
    job.restartPerFolder = row.restart;
    EXPECT_EQ(Planned(job, row.names), row.expected) << row.what;
  }
}

// Restarted counters give equal numbers; copies of them into one folder
// collide, and the plan says so.
TEST(NumberOptions, RestartedNumbersCopiedIntoOneFolderAreDuplicates) {
  RenameJob job;
  testing::SetSlot(job, 0, 10, "1", "-");
  job.restartPerFolder = true;
  const RunPlan plan = Plan(job, {"S/a-x", "U/a-x"}, RunKind::kCopy);
  ASSERT_EQ(plan.rows.size(), 2u);
  EXPECT_EQ(plan.rows[0].state, PlanState::kChanged);
  EXPECT_EQ(plan.rows[1].state, PlanState::kDuplicate);
}

TEST(NumberOptions, StepPastTheLargestNumberFails) {
  RenameJob job;
  testing::SetSlot(job, 0, 10, "2147483640", "-");
  job.numberStep = "7";
  EXPECT_EQ(Planned(job, {"a-x", "b-x"}), (Paths{"a-2147483640x", "b-2147483647x"}));
  job.numberStep = "8";
  EXPECT_EQ(Planned(job, {"a-x", "b-x"}), (Paths{"a-2147483640x", "b-x"}));
}

TEST(NumberOptions, CheckRefusesABadStepOnlyWhenNumbering) {
  const std::pair<const char*, bool> rows[] = {
      {"1", true},   {"2147483647", true}, {"0", false},          {"", false},
      {"-1", false}, {"1.5", false},       {"2147483648", false}, {"x", false},
  };
  for (const auto& [step, accepted] : rows) {
    RenameJob job;
    job.numberStep = step;
    testing::SetSlot(job, 1, 11, "1", "-");
    testing::Recorders sinks;
    EXPECT_EQ(CheckSlotInputs(job, sinks), accepted) << step;
    EXPECT_EQ(sinks.messages, accepted ? Paths{} : Paths{"Falsche oder fehlende Eingabe"}) << step;
    testing::SetSlot(job, 1, 2, "a", "b");
    EXPECT_TRUE(CheckSlotInputs(job, sinks)) << step;
  }
}

}  // namespace
}  // namespace velmora
