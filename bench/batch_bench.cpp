// The run and a copy run over many files on the real disk, each
// paired with a plain loop of the same system calls on a like set of files.
// Only the run and the loop are timed; making and removing files is not. File counts come from
// VELMORA_BENCH_FILES (rename, default 32767) and
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
#include "services/error_log.h"
#include "services/posix_file_system.h"

namespace velmora {
namespace {

int Count(const char* variable, int fallback) {
  const char* text = std::getenv(variable);
  const int value = text != nullptr ? std::atoi(text) : 0;
  return value > 0 ? value : fallback;
}
constexpr int kFullList = 32767;  // as many files as a search lists
int RenameCount() { return Count("VELMORA_BENCH_FILES", kFullList); }
int CopyCount() { return Count("VELMORA_BENCH_COPY_FILES", 10000); }

// Seconds one call of work takes.
template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration times the plain loop, then the run, on fresh files; the
// iteration's time is the run's, and the counters give the loop's mean time
// and run/loop over all iterations.
template <typename Plain, typename Runner>
void Pair(benchmark::State& bench, Plain&& plain, Runner&& run) {
  double plainTotal = 0, runTotal = 0;
  for (auto _ : bench) {
    plainTotal += plain();
    const double seconds = run();
    runTotal += seconds;
    bench.SetIterationTime(seconds);
  }
  bench.counters["loop_ms"] = 1000 * plainTotal / static_cast<double>(bench.iterations());
  bench.counters["run/loop"] = runTotal / plainTotal;
}

// "&Alle" at the first question, "&Ja" to any overwrite; counts failures.
class Answers : public RunDialogs, public ErrorReporter, public MessageSink, public LogWriter {
 public:
  Answer AskDialog(const std::string&, const std::string&, RunKind) override {
    return Answer::kAll;
  }
  Answer AskDialog2(const std::string&) override { return Answer::kYes; }
  void ReportError(Location, int, const std::string&, const std::string&,
                   const std::string&) override {
    ++errors;
  }
  void ShowMessage(const std::string&) override { ++errors; }
  void WriteLog(const std::string&, Location) override {}
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
  [[nodiscard]] std::vector<FoundEntry> Found() const {
    std::vector<FoundEntry> found;
    for (const std::string& name : names) found.push_back({src + name, true});
    return found;
  }
  // The paths the run gives the files: "f" becomes "g", in src or dest.
  [[nodiscard]] std::vector<std::string> Renamed(const std::string& folder) const {
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(folder + "g" + name.substr(1));
    return paths;
  }
  std::string root, src, dest;
  std::vector<std::string> names;
};

// One run's state and services, renaming "f" to "g" in slot 0.
struct Run {
  explicit Run(RunKind kind, LogWriter* log = nullptr)
      : services{disk, answers, answers, answers, log != nullptr ? *log : answers} {
    state.context.kind = kind;
    state.context.reporter = &answers;
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

std::vector<std::string> Paths(const std::vector<FoundEntry>& found) {
  std::vector<std::string> paths;
  for (const FoundEntry& entry : found) paths.push_back(entry.path);
  return paths;
}

// Per file the run looks the file up and renames it without replacing.
double RenameLoop() {
  Folder folder(RenameCount(), 0);
  const std::vector<std::string> from = Paths(folder.Found()), to = folder.Renamed(folder.src);
  return Seconds([&] { StatAndRename(from, to); });
}

void RenameRun(benchmark::State& bench, bool logOn) {
  Pair(bench, RenameLoop, [&] {
    Folder folder(RenameCount(), 0);
    const std::vector<FoundEntry> found = folder.Found();
    Answers quiet;
    FileLogWriter fileLog(LogPathIn(folder.root), quiet);
    Run run(RunKind::kRename, &fileLog);
    (void)run.disk.PinFolder(folder.src);  // as the front ends do
    const double seconds = Seconds(
        [&] { RunBatch(run.state, *CheckJob(run.job, run.answers), found, run.services, logOn); });
    if (run.answers.errors + quiet.errors != 0) bench.SkipWithError("the run reported failures");
    return seconds;
  });
}
void BM_RenameRun(benchmark::State& bench) { RenameRun(bench, false); }
void BM_RenameRunLogOn(benchmark::State& bench) { RenameRun(bench, true); }

// Per file the copy run looks the file up, opens both ends (the target
// exclusively), copies in the kernel, keeps mode and times, closes.
double CopyLoop() {
  Folder folder(CopyCount(), 4096);
  const std::vector<std::string> from = Paths(folder.Found()), to = folder.Renamed(folder.dest);
  return Seconds([&] {
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

void BM_CopyRun(benchmark::State& bench) {
  Pair(bench, CopyLoop, [&] {
    Folder folder(CopyCount(), 4096);
    const std::vector<FoundEntry> found = folder.Found();
    Run run(RunKind::kCopy);
    run.state.context.destPath = folder.dest;
    (void)run.disk.PinFolder(folder.src);
    (void)run.disk.PinFolder(folder.dest);
    const double seconds = Seconds(
        [&] { RunBatch(run.state, *CheckJob(run.job, run.answers), found, run.services, false); });
    if (run.answers.errors != 0) bench.SkipWithError("the run reported failures");
    return seconds;
  });
}

// A shift of every file by one ("f00000" to "f00001", ...): two slots, a
// number inserted and the old one cut, each target the next file's name,
// so the run must go from the last file back. Paired with the same job
// whose numbers start beyond the files, which list order runs as it is.
// The seconds the run takes; -1 when it failed or the first file did not
// reach its new name. Each file takes two moves.
double ShiftRun(const char* start) {
  Folder folder(RenameCount(), 0);
  const std::vector<FoundEntry> found = folder.Found();
  Run run(RunKind::kRename);
  run.job.slotCode = {12, 7, 0};
  run.job.txtSource = {start, "5", ""};
  run.job.txtDestination = {"2", "7", ""};
  PosixFileSystem planDisk;
  run.services.planDisk = &planDisk;
  run.state.resolveChains = true;
  const double seconds = Seconds(
      [&] { RunBatch(run.state, *CheckJob(run.job, run.answers), found, run.services, false); });
  struct stat st {};
  const std::string first = folder.src + "f" + start + ".txt";
  if (run.answers.errors != 0 || ::stat(first.c_str(), &st) != 0) return -1;
  return seconds;
}

void BM_ShiftRunResolved(benchmark::State& bench) {
  Pair(
      bench, [] { return ShiftRun("40000"); },
      [&] {
        const double seconds = ShiftRun("00001");
        if (seconds < 0) bench.SkipWithError("the shift did not go through");
        return seconds;
      });
}

#define VELMORA_BENCH(fn) \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime()
VELMORA_BENCH(BM_RenameRun);
VELMORA_BENCH(BM_RenameRunLogOn);
VELMORA_BENCH(BM_CopyRun);
VELMORA_BENCH(BM_ShiftRunResolved);

}  // namespace
}  // namespace velmora
