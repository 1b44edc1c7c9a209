// The run, its undo and a copy run over many files on the real disk, each
// next to a plain loop of the same system calls. File counts come from
// VELMORA_BENCH_FILES (rename and undo, default 32767) and
// VELMORA_BENCH_COPY_FILES (copy, default 10000).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Answers "&Alle" at the first question and "&Ja" to any overwrite.
class AllDialogs : public RunDialogs {
 public:
  int AskDialog(const std::string&, const std::string&, const RunFlags&) override {
    return kAnswerAll;
  }
  int AskDialog2(const std::string&) override { return kAnswerYes; }
};

class Silent : public ErrorReporter, public MessageSink, public LogWriter {
 public:
  void ReportError(int, int, const std::string&, const std::string&, const std::string&) override {
    ++errors;
  }
  void ShowMessage(const std::string&) override { ++errors; }
  void WriteLog(const std::string&, int) override {}
  int errors = 0;
};

// A folder of n files "fNNNNN.txt" of `bytes` bytes each, removed at the end.
struct Folder {
  Folder(int n, std::size_t bytes) {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + kPathSeparator + "velmora-bench-XXXXXX";
    root = std::string(::mkdtemp(pattern.data())) + kPathSeparator;
    dest = root + "dest" + kPathSeparator;
    src = root + "src" + kPathSeparator;
    ::mkdir(src.c_str(), 0755);
    ::mkdir(dest.c_str(), 0755);
    const std::string content(bytes, 'x');
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "f%05d.txt", i);
      names.push_back(name);
      const int fd = ::open((src + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
      if (!content.empty()) benchmark::DoNotOptimize(::write(fd, content.data(), content.size()));
      ::close(fd);
    }
  }
  ~Folder() { std::filesystem::remove_all(root); }
  std::vector<FoundEntry> Found() const {
    std::vector<FoundEntry> found;
    for (const std::string& name : names) found.push_back({src + name, true});
    return found;
  }
  std::string root, src, dest;
  std::vector<std::string> names;
};

RenameJob FToG() {
  RenameJob job;
  job.slotCode[0] = 1;
  job.txtSource[0] = std::string(1, 'f');
  job.txtDestination[0] = std::string(1, 'g');
  return job;
}

void RenameRun(benchmark::State& bench, bool logOn) {
  const int n = RenameCount();
  for (auto _ : bench) {
    bench.PauseTiming();
    Folder folder(n, 0);
    const std::vector<FoundEntry> found = folder.Found();
    PosixFileSystem disk;
    AllDialogs dialogs;
    Silent silent;
    FileLogWriter fileLog(LogPathIn(folder.root), silent);
    LogWriter& log = logOn ? static_cast<LogWriter&>(fileLog) : silent;
    RunServices services{disk, dialogs, silent, silent, log};
    RunState state;
    state.context.flags.renameFiles = true;
    RenameJob job = FToG();
    bench.ResumeTiming();

    RunBatch(state, job, found, services, logOn);

    bench.PauseTiming();
    bench.counters["undo_MB"] = static_cast<double>(state.undo.MemoryUsage()) / (1 << 20);
    if (silent.errors != 0) bench.SkipWithError("run reported errors");
    bench.ResumeTiming();
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}

void BM_RenameRun(benchmark::State& bench) { RenameRun(bench, false); }
void BM_RenameRunLogOn(benchmark::State& bench) { RenameRun(bench, true); }

// What the run does per file on disk: look the file up, rename without replacing.
void BM_RenamePlainLoop(benchmark::State& bench) {
  const int n = RenameCount();
  for (auto _ : bench) {
    bench.PauseTiming();
    Folder folder(n, 0);
    std::vector<std::string> from, to;
    for (const std::string& name : folder.names) {
      from.push_back(folder.src + name);
      to.push_back(folder.src + "g" + name.substr(1));
    }
    bench.ResumeTiming();
    for (std::size_t i = 0; i < from.size(); ++i) {
      struct stat st {};
      ::stat(from[i].c_str(), &st);
      ::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE);
    }
    bench.PauseTiming();
    folder.names.clear();
    bench.ResumeTiming();
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}

void BM_UndoRun(benchmark::State& bench) {
  const int n = RenameCount();
  for (auto _ : bench) {
    bench.PauseTiming();
    Folder folder(n, 0);
    PosixFileSystem disk;
    AllDialogs dialogs;
    Silent silent;
    RunServices services{disk, dialogs, silent, silent, silent};
    RunState state;
    state.context.flags.renameFiles = true;
    RenameJob job = FToG();
    RunBatch(state, job, folder.Found(), services, false);
    bench.ResumeTiming();

    MnuUndo_Click(state, services);

    bench.PauseTiming();
    if (silent.errors != 0 || state.undo.Count() != 0) bench.SkipWithError("undo incomplete");
    bench.ResumeTiming();
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}

void BM_UndoPlainLoop(benchmark::State& bench) {
  const int n = RenameCount();
  for (auto _ : bench) {
    bench.PauseTiming();
    Folder folder(n, 0);
    std::vector<std::string> from, to;
    for (const std::string& name : folder.names) {
      to.push_back(folder.src + name);
      from.push_back(folder.src + "g" + name.substr(1));
      ::rename(to.back().c_str(), from.back().c_str());
    }
    bench.ResumeTiming();
    for (std::size_t i = from.size(); i-- > 0;) {
      struct stat st {};
      ::stat(from[i].c_str(), &st);
      ::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE);
    }
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}

void BM_CopyRun(benchmark::State& bench) {
  const int n = CopyCount();
  Folder folder(n, 4096);
  const std::vector<FoundEntry> found = folder.Found();
  for (auto _ : bench) {
    bench.PauseTiming();
    std::filesystem::remove_all(folder.dest);
    ::mkdir(folder.dest.c_str(), 0755);
    PosixFileSystem disk;
    AllDialogs dialogs;
    Silent silent;
    RunServices services{disk, dialogs, silent, silent, silent};
    RunState state;
    state.context.flags.copyFiles = true;
    state.context.destPath = folder.dest;
    RenameJob job = FToG();
    bench.ResumeTiming();

    RunBatch(state, job, found, services, false);

    bench.PauseTiming();
    if (silent.errors != 0) bench.SkipWithError("run reported errors");
    bench.ResumeTiming();
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}

// What the copy run does per file: look it up, open both ends (the target
// exclusively), copy in the kernel, keep mode and time, close.
void BM_CopyPlainLoop(benchmark::State& bench) {
  const int n = CopyCount();
  Folder folder(n, 4096);
  std::vector<std::string> from, to;
  for (const std::string& name : folder.names) {
    from.push_back(folder.src + name);
    to.push_back(folder.dest + "g" + name.substr(1));
  }
  for (auto _ : bench) {
    bench.PauseTiming();
    std::filesystem::remove_all(folder.dest);
    ::mkdir(folder.dest.c_str(), 0755);
    bench.ResumeTiming();
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
  }
  bench.SetItemsProcessed(bench.iterations() * n);
}

constexpr int kRounds = 3;
BENCHMARK(BM_RenamePlainLoop)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();
BENCHMARK(BM_RenameRun)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();
BENCHMARK(BM_RenameRunLogOn)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();
BENCHMARK(BM_UndoPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();
BENCHMARK(BM_UndoRun)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();
BENCHMARK(BM_CopyPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();
BENCHMARK(BM_CopyRun)->Unit(benchmark::kMillisecond)->Iterations(kRounds)->UseRealTime();

}  // namespace
}  // namespace velmora
