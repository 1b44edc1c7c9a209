// What the window benchmarks share: generated files beside an app folder
// and a mount table, and an offscreen application to run in.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace velmora {

// count empty files in root/files, named by nameOf(i), an app folder and a
// mount table with one root; removed with the object.
struct UiBenchFolder {
  UiBenchFolder(const std::string& tag, int count, const std::function<std::string(int)>& nameOf)
      : root(std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(root / "files");
    std::filesystem::create_directories(root / "app");
    std::ofstream(root / "mounts") << "/dev/root / ext4 rw 0 0\n";
    for (int i = 0; i < count; ++i) std::ofstream(root / "files" / nameOf(i));
  }
  ~UiBenchFolder() { std::filesystem::remove_all(root); }
  UiBenchFolder(const UiBenchFolder&) = delete;
  UiBenchFolder& operator=(const UiBenchFolder&) = delete;

  [[nodiscard]] std::string Folder() const { return (root / "files").string(); }
  [[nodiscard]] std::string Path(const char* name) const { return (root / name).string(); }

  std::filesystem::path root;
};

// "x00000.dat", "x00001.dat", …
inline std::string NumberedDatName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "x%05d.dat", i);
  return name;
}

// Offscreen unless a platform is set. The application must end before Qt's
// own statics do, so it lives in main, around run.
inline int RunInApplication(int argc, char** argv, const std::function<int()>& run) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return run();
}

// The registered benchmarks, in an application as RunInApplication makes it.
inline int RunBenchmarksInApplication(int argc, char** argv) {
  return RunInApplication(argc, argv, [&] {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
  });
}

}  // namespace velmora
