// New names for 100,000 files through a three-slot job: replace text, number
// after an anchor, all capitals. Slots chain as in a run where every step is
// confirmed. Target: at least 1,000,000 names per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/job.h"

namespace {

std::vector<std::string> MakePaths(int count) {
  std::vector<std::string> paths;
  paths.reserve(count);
  for (int i = 0; i < count; ++i) {
    paths.push_back("/home/user/Musik/Sammlung/Interpret " + std::to_string(i % 97) + " - Titel_" +
                    std::to_string(i) + " (live).mp3");
  }
  return paths;
}

void BM_ThreeSlotJob(benchmark::State& state) {
  const std::vector<std::string> paths = MakePaths(100000);
  velmora::RenameJob job;
  job.slotCode = {1, 10, 16};
  job.txtSource = {"_", "001", ""};
  job.txtDestination = {" ", " - ", ""};
  velmora::NameContext ctx;
  ctx.kind = velmora::RunKind::kRename;
  for (auto _ : state) {
    ctx.numberCounter = 0;
    for (const std::string& path : paths) {
      std::string name = path;
      for (int slot = 0; slot < velmora::kSlotCount; ++slot) {
        std::string next = velmora::ApplyOperation(job, slot, name, ctx);
        if (!next.empty()) name = std::move(next);
      }
      benchmark::DoNotOptimize(name);
    }
  }
  state.counters["names/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(paths.size()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThreeSlotJob)->Unit(benchmark::kMillisecond);

}  // namespace
