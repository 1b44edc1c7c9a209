// Whole `velmora-cli tag` runs over 1,000 MP3 files with ID3v2 tags: with
// ID3v2 written in place (the new values fit the padding) against the same
// run with --id3v2 never (target: at most 3x) and against eyeD3 writing the
// same fields (target: at least 10x faster); and files whose tag has no
// padding, so that each is rewritten. The ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace velmora {
namespace {

constexpr int kFileCount = 1000;
const std::filesystem::path kFolder = std::filesystem::temp_directory_path() /
                                      ("velmora-tag-cli-bench-" + std::to_string(::getpid()));

std::string Frame(const std::string& id, const std::string& text) {
  const std::size_t n = text.size() + 1;
  return id + std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n), 0, 0, 0} + text;
}

// An ID3v2.3 tag as players write it, padding bytes after the frames.
std::string Tag(std::size_t padding) {
  const std::string frames = Frame("TIT2", "Alter Titel") + Frame("TPE1", "Alter Interpret") +
                             Frame("TALB", "Platte") + Frame("TYER", "1999") +
                             Frame("TRCK", "3/12") + Frame("TCON", "(17)");
  const std::size_t n = frames.size() + padding;
  return std::string{'I',
                     'D',
                     '3',
                     3,
                     0,
                     0,
                     char(n >> 21 & 0x7f),
                     char(n >> 14 & 0x7f),
                     char(n >> 7 & 0x7f),
                     char(n & 0x7f)} +
         frames + std::string(padding, '\0');
}

// 1,000 files of MPEG frames with tag: padding 1024, or none.
void MakeFiles(std::size_t padding) {
  std::filesystem::remove_all(kFolder);
  std::filesystem::create_directories(kFolder);
  std::string frame = "\xff\xfb\x90";
  frame += '\0';
  frame += std::string(413, '\x55');
  std::string audio;
  for (int i = 0; i < 10; ++i) audio += frame;
  const std::string content = Tag(padding) + audio + "TAG" + std::string(125, ' ');
  for (int i = 0; i < kFileCount; ++i) {
    const std::string n = std::to_string(i);
    std::ofstream(kFolder / ("Interpret " + n + " - Titel " + n + ".mp3"), std::ios::binary)
        << content;
  }
}

int Run(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    std::vector<char*> argv;
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> CliTag(const char* mode) {
  return {VELMORA_CLI, "tag",   "--pattern", "*.mp3", "--separator",   " - ",
          "--title",   "2",     "--artist",  "1",     "--comment",     "=von velmora",
          "--genre",   "=Rock", "--id3v2",   mode,    kFolder.string()};
}

std::map<std::string, double> seconds;  // per run, by benchmark name

void Record(benchmark::State& state, const std::string& name, double total) {
  seconds[name] = total / static_cast<double>(state.iterations());
  state.counters["files/s"] = static_cast<double>(kFileCount) / seconds[name];
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void BM_CliTagInPlace(benchmark::State& state, const char* mode) {
  MakeFiles(1024);
  double total = 0;
  for (auto _ : state) {
    const double start = Now();
    if (Run(CliTag(mode)) != 0) state.SkipWithError("velmora-cli failed");
    total += Now() - start;
  }
  Record(state, std::string("cli ") + mode, total);
}

void BM_CliTagRewrite(benchmark::State& state) {
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MakeFiles(0);
    state.ResumeTiming();
    const double start = Now();
    if (Run(CliTag("auto")) != 0) state.SkipWithError("velmora-cli failed");
    total += Now() - start;
  }
  Record(state, "cli rewrite", total);
}

void BM_EyeD3(benchmark::State& state) {
  if (std::system("command -v eyeD3 >/dev/null 2>&1") != 0) {
    state.SkipWithError("eyeD3 is not installed");
    return;
  }
  MakeFiles(1024);
  std::vector<std::string> args = {"eyeD3",     "--quiet", "-t",          "Titel", "-a",
                                   "Interpret", "-c",      "von velmora", "-G",    "Rock"};
  for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
    args.push_back(entry.path().string());
  }
  double total = 0;
  for (auto _ : state) {
    const double start = Now();
    if (Run(args) != 0) state.SkipWithError("eyeD3 failed");
    total += Now() - start;
  }
  Record(state, "eyeD3", total);
}

BENCHMARK_CAPTURE(BM_CliTagInPlace, id3v2_never, "never")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_CliTagInPlace, id3v2_auto, "auto")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_CliTagRewrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EyeD3)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  using velmora::seconds;
  if (seconds.count("cli auto") && seconds.count("cli never")) {
    std::printf("ID3v2 in place / --id3v2 never: %.2fx (target at most 3x)\n",
                seconds["cli auto"] / seconds["cli never"]);
  }
  if (seconds.count("cli auto") && seconds.count("eyeD3")) {
    std::printf("eyeD3 / ID3v2 in place: %.1fx (target at least 10x)\n",
                seconds["eyeD3"] / seconds["cli auto"]);
  }
  if (seconds.count("cli rewrite") && seconds.count("cli never")) {
    std::printf("ID3v2 rewrite / --id3v2 never: %.2fx\n",
                seconds["cli rewrite"] / seconds["cli never"]);
  }
  std::filesystem::remove_all(velmora::kFolder);
  return 0;
}
