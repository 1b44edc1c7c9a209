// The tag run over 1,000 marked files against a plain loop that only writes
// 128 bytes at the end of each file; the run should stay within twice the
// loop's time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "services/posix_file_system.h"
#include "tags/tag_editor.h"

namespace velmora {
namespace {

constexpr int kFileCount = 1000;

struct Quiet : ErrorReporter, LogWriter, TagEditorHost {
  void ReportError(Location, int, const std::string&, const std::string&,
                   const std::string&) override {
    ++failures;
  }
  void WriteLog(const std::string&, Location) override {}
  void ShowTagValues() override {}
  void SetProgress(int) override {}
  void RepeatSearch() override {}
  int failures = 0;
};

// 1,000 tagged files named "Artist n - Title n.mp3", made once and removed
// at exit.
struct BenchFiles {
  BenchFiles() {
    const std::string audio(4096, '\x55');
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFileCount; ++i) {
      const std::string n = std::to_string(i);
      const std::string path = (folder / ("Artist " + n + " - Title " + n + ".mp3")).string();
      std::ofstream(path, std::ios::binary) << audio << "TAG" << std::string(125, '\0');
      list.push_back({path, true});
    }
  }
  ~BenchFiles() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmora-tags-bench-" + std::to_string(::getpid()));
  TagList list;
};

const TagList& Files() {
  static const BenchFiles files;
  return files.list;
}

void BM_PlainWriteLoop(benchmark::State& state) {
  const TagList& files = Files();
  const std::string record = "TAG" + std::string(125, ' ');
  for (auto _ : state) {
    for (const TagListEntry& entry : files) {
      const int fd = ::open(entry.path.c_str(), O_RDWR | O_CLOEXEC);
      const off_t size = ::lseek(fd, 0, SEEK_END);
      benchmark::DoNotOptimize(::pwrite(fd, record.data(), record.size(), size - 128));
      ::close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

void BM_TagRun(benchmark::State& state) {
  const TagList& files = Files();
  Quiet quiet;
  PosixFileSystem disk;
  TagEditor editor(disk, quiet, quiet, quiet);
  editor.fields().TxtSeparator = " - ";
  // The default choosers take the title from part 1 and the artist from part 2.
  editor.OptKeineAus_Click(files);
  for (auto _ : state) editor.CmdEditTag_Click(files, false);
  if (quiet.failures != 0) state.SkipWithError("the run reported failures");
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

BENCHMARK(BM_PlainWriteLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagRun)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora
