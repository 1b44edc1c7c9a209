// The search with sub-folders over 100,000 files in 5,000 folders (20,000 of
// them "*.mp3"), against `find DIR -type f -iname '*.mp3' | sort -f` on the
// same tree in the same run. The tree is made once and reused: under
// /tmp/velmora-search-tree, or where VELMORA_BENCH_TREE points.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "search/search_command.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kTopFolders = 50;
constexpr int kMiddleFolders = 9;    // per top folder
constexpr int kBottomFolders = 10;   // per middle folder: 50 + 450 + 4,500 = 5,000
constexpr int kFilesPerFolder = 20;  // 4 of them mp3
constexpr int kMp3Files = 20000;

void FillFolder(const fs::path& folder, int number) {
  fs::create_directories(folder);
  static const char* kKinds[] = {".mp3", ".MP3", ".txt", ".jpg", ".wav"};
  for (int i = 0; i < kFilesPerFolder; ++i) {
    // Files 0..3 are mp3 (one with an upper-case extension), the rest not.
    const char* ext = i < 3 ? kKinds[0] : i == 3 ? kKinds[1] : kKinds[2 + i % 3];
    std::ofstream(folder / ("Track " + std::to_string(number) + "-" + std::to_string(i) + ext));
  }
}

const std::string& Tree() {
  static const std::string root = [] {
    const char* env = std::getenv("VELMORA_BENCH_TREE");
    fs::path dir = env ? env : (fs::temp_directory_path() / "velmora-search-tree");
    if (!fs::exists(dir / ".complete")) {
      fs::remove_all(dir);
      int number = 0;
      for (int t = 0; t < kTopFolders; ++t) {
        fs::path top = dir / ("Top " + std::to_string(t));
        FillFolder(top, number++);
        for (int m = 0; m < kMiddleFolders; ++m) {
          fs::path middle = top / ("Mid " + std::to_string(m));
          FillFolder(middle, number++);
          for (int b = 0; b < kBottomFolders; ++b)
            FillFolder(middle / ("Sub " + std::to_string(b)), number++);
        }
      }
      std::ofstream(dir / ".complete");
    }
    return dir.string();
  }();
  return root;
}

struct NullSettings : SettingsWriter {
  void WriteSetting(const std::string&, const std::string&) override {}
};
struct NullHost : SearchHost {
  void ProcessPendingEvents() override {}
};
struct NullSink : MessageSink, ErrorReporter {
  void ShowMessage(const std::string&) override {}
  void ReportError(Location, int, const std::string&, const std::string&,
                   const std::string&) override {}
};

void BM_SearchWithSubFolders(benchmark::State& state) {
  const std::string& tree = Tree();
  PosixFileSystem disk;
  NullSettings settings;
  NullHost host;
  NullSink sink;
  int found = 0;
  for (auto _ : state) {
    SearchCommand command(disk, settings, host, sink, sink);
    command.OptSubdirs_Click();
    command.cmdSearch_Click({"/", tree, "", "*.mp3"});
    found = command.Found().Count();
    benchmark::DoNotOptimize(command.Found().Path(0));  // the list in its sorted order
  }
  if (found != kMp3Files) state.SkipWithError("wrong number of files found");
  state.counters["files"] = found;
}
BENCHMARK(BM_SearchWithSubFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU seconds (user and system) of all waited-for child processes so far.
double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The CPU column only shows this process; "child_cpu_ms" is what find and
// sort spent, the fair figure to hold against the search's CPU time on a
// busy machine.
void BM_FindSortPipeline(benchmark::State& state) {
  const std::string command = "find '" + Tree() + "' -type f -iname '*.mp3' | sort -f";
  int lines = 0;
  double childCpu = -ChildrenCpuSeconds();
  for (auto _ : state) {
    FILE* pipe = popen(command.c_str(), "r");
    lines = 0;
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) ++lines;
    pclose(pipe);
  }
  childCpu += ChildrenCpuSeconds();
  if (lines != kMp3Files) state.SkipWithError("wrong number of lines");
  state.counters["files"] = lines;
  state.counters["child_cpu_ms"] = 1000 * childCpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindSortPipeline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmora
