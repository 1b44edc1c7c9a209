// The main window's cost over the engine alone, offscreen: filling the found
// list from a search of 32,767 matching files, and a rename run over them
// answered "&Alle" at the first question. Each is timed next to the same work
// without a window, in the same run. Only the press (and the painting that
// follows it) is timed; making the files and resetting the list is not.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/ui_bench_folder.h"
#include "engine/batch_run.h"
#include "search/found_list.h"
#include "search/search_command.h"
#include "services/posix_file_system.h"
#include "services/settings.h"
#include "ui/folder_list.h"
#include "ui/main_window.h"
#include "ui/search_panel.h"

namespace velmora {
namespace {

constexpr int kFiles = kFoundListCapacity;

UiBenchFolder& Files() {
  static UiBenchFolder folder("velmora-uibench", kFiles, NumberedDatName);
  return folder;
}

// The search's host without a window: nothing to paint.
class NoWindow : public SearchHost,
                 public RunDialogs,
                 public MessageSink,
                 public ErrorReporter,
                 public LogWriter {
 public:
  void ProcessPendingEvents() override {}
  void RepeatSearch() { command->RepeatSearch(inputs); }
  Answer AskDialog(const std::string&, const std::string&, RunKind) override {
    return Answer::kAll;
  }
  Answer AskDialog2(const std::string&) override { return Answer::kYes; }
  void ShowMessage(const std::string&) override {}
  void ReportError(Location, int, const std::string&, const std::string&,
                   const std::string&) override {}
  void WriteLog(const std::string&, Location) override {}
  SearchCommand* command = nullptr;
  SearchInputs inputs;
};

struct EngineOnly {
  EngineOnly() : settings(Files().Path("engine.ini")) {
    command = std::make_unique<SearchCommand>(reader, settings, host, host, host);
    host.command = command.get();
    host.inputs = {"/", Files().Folder(), Files().Folder(), "*.*"};
  }
  PosixFileSystem reader;
  SettingsStore settings;
  NoWindow host;
  std::unique_ptr<SearchCommand> command;
};

std::unique_ptr<Main> StartWindow() {
  MainEnvironment environment;
  environment.appPath = Files().Path("app");
  environment.settingsFile = Files().Path("window.ini");
  environment.mountTable = Files().Path("mounts");
  environment.commandLine = Files().Folder();
  auto window = std::make_unique<Main>(environment);
  window->Form_Load();
  window->resize(1024, 768);
  window->show();
  QApplication::processEvents();
  return window;
}

template <typename T>
T* Child(Main& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

// Reports the two sides of each iteration: the window's time as the
// iteration's time, both as counters, and their ratio.
class Pair {
 public:
  template <typename Work>
  static double Seconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  void Add(benchmark::State& bench, double engine, double window) {
    engine_ += engine;
    window_ += window;
    bench.SetIterationTime(window);
  }
  void Report(benchmark::State& bench) const {
    const double n = static_cast<double>(bench.iterations());
    bench.counters["engine_ms"] = engine_ * 1000 / n;
    bench.counters["window_ms"] = window_ * 1000 / n;
    bench.counters["ratio"] = engine_ > 0 ? window_ / engine_ : 0;
  }

 private:
  double engine_ = 0;
  double window_ = 0;
};

// A search of the folder's kFiles matching files: the search command alone
// (the list it delivers is sorted, so its first read is timed too), then
// the window's search button with the painting that follows, in turns.
void BM_Search(benchmark::State& bench) {
  Files();
  EngineOnly engine;
  std::unique_ptr<Main> window = StartWindow();
  QPushButton* search = Child<QPushButton>(*window, "cmdSearch");
  Pair pair;
  for (auto _ : bench) {
    const double alone = Pair::Seconds([&] {
      engine.command->cmdSearch_Click(engine.host.inputs);
      benchmark::DoNotOptimize(engine.command->Found().Path(0));
    });
    const double shown = Pair::Seconds([&] {
      search->click();
      QApplication::processEvents();
    });
    pair.Add(bench, alone, shown);
    if (engine.command->Found().Count() != kFiles || window->Found().Count() != kFiles) {
      bench.SkipWithError("not all files found");
    }
    engine.command->cmdSearch_Click(engine.host.inputs);  // reset
    search->click();
    QApplication::processEvents();
  }
  pair.Report(bench);
}

// The engine's job: the first "x" becomes "y" (the window's turns it back).
RenameJob XToY() {
  RenameJob job;
  job.slotCode[0] = 1;
  job.txtSource[0].assign(1, 'x');
  job.txtDestination[0].assign(1, 'y');
  return job;
}

// A run state whose operations report to reporter.
RunState StateReportingTo(ErrorReporter& reporter) {
  RunState state;
  state.context.reporter = &reporter;
  return state;
}

// A rename run over all kFiles files, "&Alle" at the first question, log
// off, with the repeat search at its end: the engine's run command over a
// search command, then the window's "Umbenennen" with its real dialog, in
// turns (the first renames x to y, the second back).
void BM_RenameRun(benchmark::State& bench) {
  Files();
  EngineOnly engine;
  PosixFileSystem fileSystem;
  RunState state = StateReportingTo(engine.host);
  RunServices services{fileSystem, engine.host, engine.host, engine.host, engine.host};
  std::unique_ptr<Main> window = StartWindow();
  auto* combo = Child<QComboBox>(*window, "Auswahl_0");
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  Child<QLineEdit>(*window, "TxtSource_0")->setText("y");
  Child<QLineEdit>(*window, "TxtDestination_0")->setText("x");
  QPushButton* search = Child<QPushButton>(*window, "cmdSearch");
  // "&Alle" in the first `Dialog` as soon as it shows.
  QTimer answer;
  answer.setInterval(0);
  QObject::connect(&answer, &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    for (auto* button : modal->findChildren<QAbstractButton*>()) {
      if (button->text() == QLatin1String("&Alle")) return button->click();
    }
  });
  answer.start();

  Pair pair;
  for (auto _ : bench) {
    if (engine.command->State().searchCaption == kCaptionReset) {
      engine.command->cmdSearch_Click(engine.host.inputs);
    }
    engine.command->cmdSearch_Click(engine.host.inputs);
    FoundList& list = engine.command->Found();
    for (int i = 0; i < list.Count(); ++i) list.SetMarked(i, true);
    const CheckedJob job = *CheckJob(XToY(), engine.host);
    const double alone = Pair::Seconds([&] {
      const std::vector<FoundEntry> found = engine.command->Found().Entries();
      RunCommand(RunKind::kRename, state, job, found, services, false);
      engine.host.RepeatSearch();
      benchmark::DoNotOptimize(engine.command->Found().Path(0));
    });

    // The window's list still shows the names from before the engine's run.
    if (search->text() == QLatin1String("&Reset")) search->click();
    search->click();
    QApplication::processEvents();
    Child<QPushButton>(*window, "CmdSelectAll")->click();
    const double shown = Pair::Seconds([&] {
      Child<QPushButton>(*window, "CmdRename")->click();
      QApplication::processEvents();
    });
    pair.Add(bench, alone, shown);
    if (window->Found().Count() != kFiles) bench.SkipWithError("list not refreshed");
  }
  pair.Report(bench);
}

BENCHMARK(BM_Search)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RenameRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::RunBenchmarksInApplication(argc, argv); }
