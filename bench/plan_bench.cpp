// The plan of a three-slot job (replace text, number in front of the
// extension, all capitals) over 32,767 marked files, the most the found list
// holds. Target: under 100 ms for the preview's plan (rows only), so it can
// follow typing. BM_PlanOnDisk lists a real folder of 32,767 files (made
// once); WithSteps keeps every step as --dry-run does; BM_PlanInMemory gives
// the listing from memory and times the plan alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/path.h"
#include "engine/plan.h"
#include "services/posix_file_system.h"
#include "tests/support/fake_file_system.h"

namespace {

using namespace velmora;

constexpr int kEntries = 32767;

std::string Name(int i) {
  return "Interpret " + std::to_string(i % 97) + " - Titel_" + std::to_string(i) + " (live).mp3";
}

RenameJob ThreeSlots() {
  RenameJob job;
  job.slotCode = {1, 11, 16};
  job.txtSource = {"_", "1", ""};
  job.txtDestination = {" ", ".mp3", ""};
  return job;
}

std::vector<FoundEntry> Found(const std::string& folder) {
  std::vector<FoundEntry> found;
  found.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i) found.push_back({folder + Name(i), true});
  return found;
}

// One folder of the names, held in memory.
class MemoryDisk : public testing::FakeFileSystem {
 public:
  bool ListFolder(const std::string&, std::vector<FolderItem>& items) override {
    for (int i = 0; i < kEntries; ++i) items.push_back({Name(i), true});
    return true;
  }
  PathKind Probe(const std::string&) override { return PathKind::kNone; }
  bool IgnoresCase(const std::string&) override { return false; }
};

// A real folder of kEntries empty files, removed at exit.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + kPathSeparator + "velmora-plan-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern + kPathSeparator;
    for (int i = 0; i < kEntries; ++i) std::ofstream(path_ + Name(i));
  }
  ~BenchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const BenchFolder& TheFolder() {
  static const BenchFolder folder;
  return folder;
}

// Plans found, each time over a fresh Disk (so every folder is listed again).
template <typename Disk>
void PlanEach(benchmark::State& state, const std::vector<FoundEntry>& found, bool withSteps) {
  const RenameJob job = ThreeSlots();
  for (auto _ : state) {
    Disk disk;
    const RunPlan plan = PlanRun(RunKind::kRename, job, found, "", disk, withSteps);
    if (plan.conflicts != 0 || plan.changes != kEntries) state.SkipWithError("unexpected plan");
    benchmark::DoNotOptimize(plan);
  }
}

void BM_PlanOnDisk(benchmark::State& state) {
  PlanEach<PosixFileSystem>(state, Found(TheFolder().path()), false);
}
void BM_PlanOnDiskWithSteps(benchmark::State& state) {
  PlanEach<PosixFileSystem>(state, Found(TheFolder().path()), true);
}
BENCHMARK(BM_PlanOnDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanOnDiskWithSteps)->Unit(benchmark::kMillisecond);

// The listing alone, part of BM_PlanOnDisk.
void BM_ListFolder(benchmark::State& state) {
  const BenchFolder& folder = TheFolder();
  for (auto _ : state) {
    PosixFileSystem disk;
    std::vector<FolderItem> items;
    disk.ListFolder(folder.path(), items);
    if (items.size() != kEntries) state.SkipWithError("unexpected listing");
    benchmark::DoNotOptimize(items);
  }
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond);

void BM_PlanInMemory(benchmark::State& state) {
  PlanEach<MemoryDisk>(state, Found("/home/user/Musik/Sammlung/"), false);
}
BENCHMARK(BM_PlanInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
