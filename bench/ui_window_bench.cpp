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

// A folder of kFiles files "xNNNNN.dat", an app folder and a mount table;
// made once, removed at exit.
struct Fixture {
  Fixture() {
    root = std::filesystem::temp_directory_path() / ("velmora-uibench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "files");
    std::filesystem::create_directories(root / "app");
    std::ofstream(root / "mounts") << "/dev/root / ext4 rw 0 0\n";
    for (int i = 0; i < kFiles; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "x%05d.dat", i);
      std::ofstream(root / "files" / name);
    }
  }
  ~Fixture() { std::filesystem::remove_all(root); }
  std::string Folder() const { return (root / "files").string(); }
  std::string Path(const char* name) const { return (root / name).string(); }
  std::filesystem::path root;
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

template <typename Work>
void Timed(benchmark::State& bench, Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  bench.SetIterationTime(
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The search's host without a window: nothing to paint.
class NoWindow : public SearchHost, public SearchRepeater, public RunDialogs, public MessageSink,
                 public ErrorReporter, public LogWriter {
 public:
  void ProcessPendingEvents() override {}
  void RepeatSearch() override { command->RepeatSearch(inputs); }
  int AskDialog(const std::string&, const std::string&, const RunFlags&) override {
    return kAnswerAll;
  }
  int AskDialog2(const std::string&) override { return kAnswerYes; }
  void ShowMessage(const std::string&) override {}
  void ReportError(int, int, const std::string&, const std::string&, const std::string&) override {}
  void WriteLog(const std::string&, int) override {}
  SearchCommand* command = nullptr;
  SearchInputs inputs;
};

struct EngineOnly {
  EngineOnly() : settings(Files().Path("engine.ini")) {
    command = std::make_unique<SearchCommand>(reader, settings, host, host, host);
    host.command = command.get();
    host.inputs = {"/", Files().Folder(), Files().Folder(), "*.*"};
  }
  DiskFolderReader reader;
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

void BM_SearchEngineOnly(benchmark::State& bench) {
  Files();
  EngineOnly engine;
  for (auto _ : bench) {
    // The list sorts itself when first read; a search delivers it sorted.
    Timed(bench, [&] {
      engine.command->cmdSearch_Click(engine.host.inputs);
      benchmark::DoNotOptimize(engine.command->Found().Path(0));
    });
    if (engine.command->Found().Count() != kFiles) bench.SkipWithError("not all files found");
    engine.command->cmdSearch_Click(engine.host.inputs);  // reset
  }
}

void BM_SearchInWindow(benchmark::State& bench) {
  Files();
  std::unique_ptr<Main> window = StartWindow();
  QPushButton* search = Child<QPushButton>(*window, "cmdSearch");
  for (auto _ : bench) {
    Timed(bench, [&] {
      search->click();
      QApplication::processEvents();  // the list painted
    });
    if (window->search().Found().Count() != kFiles) bench.SkipWithError("not all files found");
    search->click();  // reset
    QApplication::processEvents();
  }
}

// The job renames x... to y... and back, by turns.
RenameJob Job(bool forth) {
  RenameJob job;
  job.slotCode[0] = 1;
  job.txtSource[0] = forth ? "x" : "y";
  job.txtDestination[0] = forth ? "y" : "x";
  return job;
}

void BM_RenameRunEngineOnly(benchmark::State& bench) {
  Files();
  EngineOnly engine;
  PosixFileSystem fileSystem;
  RunState state;
  RunServices services{fileSystem, engine.host, engine.host, engine.host, engine.host, nullptr,
                       &engine.host};
  engine.command->cmdSearch_Click(engine.host.inputs);
  bool forth = true;
  for (auto _ : bench) {
    engine.command->Found().MarkAll();
    RenameJob job = Job(forth);
    Timed(bench, [&] {
      const std::vector<FoundEntry> found = engine.command->Found().Entries();
      RunCommand(RunKind::kRename, state, job, found, services, false);
      benchmark::DoNotOptimize(engine.command->Found().Path(0));
    });
    forth = !forth;
    state.undo = UndoStore();
  }
  if (!forth) {  // leave the files as they were
    engine.command->Found().MarkAll();
    RenameJob job = Job(false);
    RunCommand(RunKind::kRename, state, job, engine.command->Found().Entries(), services, false);
  }
}

void BM_RenameRunInWindow(benchmark::State& bench) {
  Files();
  std::unique_ptr<Main> window = StartWindow();
  Child<QPushButton>(*window, "cmdSearch")->click();
  auto* combo = Child<QComboBox>(*window, "Auswahl_0");
  combo->setCurrentIndex(1);
  emit combo->activated(1);
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
  bool forth = true;
  auto runOnce = [&] {
    const RenameJob job = Job(forth);
    Child<QLineEdit>(*window, "TxtSource_0")->setText(QString::fromStdString(job.txtSource[0]));
    Child<QLineEdit>(*window, "TxtDestination_0")
        ->setText(QString::fromStdString(job.txtDestination[0]));
    Child<QPushButton>(*window, "CmdSelectAll")->click();
  };
  for (auto _ : bench) {
    runOnce();
    Timed(bench, [&] {
      Child<QPushButton>(*window, "CmdRename")->click();
      QApplication::processEvents();
    });
    if (window->search().Found().Count() != kFiles) bench.SkipWithError("list not refreshed");
    forth = !forth;
    window->runState().undo = UndoStore();
  }
  if (!forth) {
    runOnce();
    Child<QPushButton>(*window, "CmdRename")->click();
  }
}

BENCHMARK(BM_SearchEngineOnly)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SearchInWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RenameRunEngineOnly)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_RenameRunInWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
}  // namespace velmora

// The application must end before Qt's own statics do, so it lives in main.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
