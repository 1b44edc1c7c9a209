// The run, its undo and a copy run over many files on the real disk, each
// next to a plain loop of the same system calls. Only the run (or the loop)
// is timed; making and removing the files is not. File counts come from
// VELMORA_BENCH_FILES (rename and undo, default 32767) and
// VELMORA_BENCH_COPY_FILES (copy, default 10000).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/batch_run.h"
#include "engine/path.h"
#include "engine/undo.h"
#include "services/error_log.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

int Count(const char* variable, int fallback) {
  const char* text = std::getenv(variable);
  const int value = text != nullptr ? std::atoi(text) : 0;
  return value > 0 ? value : fallback;
}
int RenameCount() { return Count("VELMORA_BENCH_FILES", UndoStore::kMaxRecords); }
int CopyCount() { return Count("VELMORA_BENCH_COPY_FILES", 10000); }

// Times one call of work as the iteration's time.
template <typename Work>
void Timed(benchmark::State& bench, Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  bench.SetIterationTime(
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// "&Alle" at the first question, "&Ja" to any overwrite; counts failures.
class Answers : public RunDialogs, public ErrorReporter, public MessageSink, public LogWriter {
 public:
  int AskDialog(const std::string&, const std::string&, const RunFlags&) override {
    return kAnswerAll;
  }
  int AskDialog2(const std::string&) override { return kAnswerYes; }
  void ReportError(int, int, const std::string&, const std::string&, const std::string&) override {
    ++errors;
  }
  void ShowMessage(const std::string&) override { ++errors; }
  void WriteLog(const std::string&, int) override {}
  int errors = 0;
};

// n files "fNNNNN.txt" of `bytes` bytes in src, an empty dest; all on disk
// before timing starts, all removed at the end.
struct Folder {
  Folder(int n, std::size_t bytes) {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + kPathSeparator + "velmora-bench-XXXXXX";
    root = std::string(::mkdtemp(pattern.data())) + kPathSeparator;
    src = root + "src" + kPathSeparator;
    dest = root + "dest" + kPathSeparator;
    ::mkdir(src.c_str(), 0755);
    ::mkdir(dest.c_str(), 0755);
    const std::string content(bytes, 'x');
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "f%05d.txt", i);
      names.push_back(name);
      const int fd = ::open((src + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
      benchmark::DoNotOptimize(::write(fd, content.data(), content.size()));
      ::close(fd);
    }
    ::sync();
  }
  ~Folder() { std::filesystem::remove_all(root); }
  std::vector<FoundEntry> Found() const {
    std::vector<FoundEntry> found;
    for (const std::string& name : names) found.push_back({src + name, true});
    return found;
  }
  // The paths the run gives the files: "f" becomes "g", in src or dest.
  std::vector<std::string> Renamed(const std::string& folder) const {
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(folder + "g" + name.substr(1));
    return paths;
  }
  std::string root, src, dest;
  std::vector<std::string> names;
};

// One run's state and services, renaming "f" to "g" in slot 0.
struct Run {
  explicit Run(RunFlags flags, LogWriter* log = nullptr)
      : services{disk, answers, answers, answers, log != nullptr ? *log : answers} {
    state.context.flags = flags;
    job.slotCode[0] = 1;
    job.txtSource[0] = std::string(1, 'f');
    job.txtDestination[0] = std::string(1, 'g');
  }
  PosixFileSystem disk;
  Answers answers;
  RunServices services;
  RunState state;
  RenameJob job;
};

void StatAndRename(const std::vector<std::string>& from, const std::vector<std::string>& to) {
  for (std::size_t i = 0; i < from.size(); ++i) {
    struct stat st {};
    ::stat(from[i].c_str(), &st);
    ::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE);
  }
}

void RenameRun(benchmark::State& bench, bool logOn) {
  for (auto _ : bench) {
    Folder folder(RenameCount(), 0);
    const std::vector<FoundEntry> found = folder.Found();
    Answers quiet;
    FileLogWriter fileLog(LogPathIn(folder.root), quiet);
    Run run(RunFlags{true, false, false}, &fileLog);
    Timed(bench, [&] { RunBatch(run.state, run.job, found, run.services, logOn); });
    bench.counters["undo_MB"] = static_cast<double>(run.state.undo.MemoryUsage()) / (1 << 20);
    if (run.answers.errors + quiet.errors != 0) bench.SkipWithError("the run reported failures");
  }
}
void BM_RenameRun(benchmark::State& bench) { RenameRun(bench, false); }
void BM_RenameRunLogOn(benchmark::State& bench) { RenameRun(bench, true); }

// Per file the run looks the file up and renames it without replacing.
void BM_RenamePlainLoop(benchmark::State& bench) {
  for (auto _ : bench) {
    Folder folder(RenameCount(), 0);
    std::vector<std::string> from;
    for (const FoundEntry& entry : folder.Found()) from.push_back(entry.path);
    const std::vector<std::string> to = folder.Renamed(folder.src);
    Timed(bench, [&] { StatAndRename(from, to); });
  }
}

void BM_UndoRun(benchmark::State& bench) {
  for (auto _ : bench) {
    Folder folder(RenameCount(), 0);
    Run run(RunFlags{true, false, false});
    RunBatch(run.state, run.job, folder.Found(), run.services, false);
    ::sync();
    Timed(bench, [&] { MnuUndo_Click(run.state, run.services); });
    if (run.answers.errors != 0 || run.state.undo.Count() != 0) bench.SkipWithError("undo failed");
  }
}

void BM_UndoPlainLoop(benchmark::State& bench) {
  for (auto _ : bench) {
    Folder folder(RenameCount(), 0);
    std::vector<std::string> to;
    for (const FoundEntry& entry : folder.Found()) to.push_back(entry.path);
    std::vector<std::string> from = folder.Renamed(folder.src);
    StatAndRename(to, from);
    ::sync();
    // Newest first, as undo walks.
    std::reverse(from.begin(), from.end());
    std::reverse(to.begin(), to.end());
    Timed(bench, [&] { StatAndRename(from, to); });
  }
}

void BM_CopyRun(benchmark::State& bench) {
  for (auto _ : bench) {
    Folder folder(CopyCount(), 4096);
    const std::vector<FoundEntry> found = folder.Found();
    Run run(RunFlags{false, false, true});
    run.state.context.destPath = folder.dest;
    Timed(bench, [&] { RunBatch(run.state, run.job, found, run.services, false); });
    if (run.answers.errors != 0) bench.SkipWithError("the run reported failures");
  }
}

// Per file the copy run looks the file up, opens both ends (the target
// exclusively), copies in the kernel, keeps mode and times, closes.
void BM_CopyPlainLoop(benchmark::State& bench) {
  for (auto _ : bench) {
    Folder folder(CopyCount(), 4096);
    std::vector<std::string> from;
    for (const FoundEntry& entry : folder.Found()) from.push_back(entry.path);
    const std::vector<std::string> to = folder.Renamed(folder.dest);
    Timed(bench, [&] {
      for (std::size_t i = 0; i < from.size(); ++i) {
        struct stat st {};
        ::stat(from[i].c_str(), &st);
        const int in = ::open(from[i].c_str(), O_RDONLY | O_CLOEXEC);
        ::fstat(in, &st);
        const int out = ::open(to[i].c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(st.st_size), 0);
        ::fchmod(out, st.st_mode & 07777);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
        ::close(out);
        ::close(in);
      }
    });
  }
}

// Each run right after its plain loop, so both see the same machine.
#define VELMORA_BENCH(fn) \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime()
VELMORA_BENCH(BM_RenamePlainLoop);
VELMORA_BENCH(BM_RenameRun);
VELMORA_BENCH(BM_RenameRunLogOn);
VELMORA_BENCH(BM_UndoPlainLoop);
VELMORA_BENCH(BM_UndoRun);
VELMORA_BENCH(BM_CopyPlainLoop);
VELMORA_BENCH(BM_CopyRun);

}  // namespace
}  // namespace velmora
