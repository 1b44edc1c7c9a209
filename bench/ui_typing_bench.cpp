// Typing in a slot field of the main window while the found list holds
// 32,767 marked files and the preview is on, offscreen: one character every
// 250 ms (each pause long enough for a new preview), and a timer ticking
// every 5 ms beside it. The longest gap between
// two ticks is the longest the window kept input waiting (target: 100 ms).
// Also the largest resident size of the whole process.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/ui_bench_folder.h"
#include "search/found_list.h"
#include "ui/main_window.h"

namespace velmora {
namespace {

constexpr int kFiles = kFoundListCapacity;
constexpr int kKeys = 16;
constexpr int kKeyGapMs = 250;

template <typename T>
T* Child(Main& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

// The window shown, its folder searched and every entry marked, slot 1 on
// operation 1; returns the field that is typed into.
QLineEdit* PrepareTyping(Main& window) {
  window.Form_Load();
  window.resize(1024, 768);
  window.show();
  QApplication::processEvents();
  Child<QPushButton>(window, "cmdSearch")->click();
  QApplication::processEvents();
  Child<QPushButton>(window, "CmdSelectAll")->click();
  auto* combo = Child<QComboBox>(window, "Auswahl_0");
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  QLineEdit* field = Child<QLineEdit>(window, "TxtSource_0");
  QApplication::processEvents();
  return field;
}

int Run() {
  const UiBenchFolder files("velmora-typing", kFiles, NumberedDatName);

  MainEnvironment environment;
  environment.appPath = files.Path("app");
  environment.settingsFile = files.Path("window.ini");
  environment.mountTable = files.Path("mounts");
  environment.commandLine = files.Folder();
  auto window = std::make_unique<Main>(environment);
  QLineEdit* field = PrepareTyping(*window);

  QElapsedTimer clock;
  clock.start();
  qint64 last = 0, longest = 0;
  QTimer tick;
  tick.setInterval(5);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  int typed = 0;
  QTimer key;
  key.setInterval(kKeyGapMs);
  QObject::connect(&key, &QTimer::timeout, [&] {
    // Typing "x", then deleting it again: every key changes the plan.
    if (typed % 2 == 0)
      field->insert(QStringLiteral("x"));
    else
      field->backspace();
    if (++typed == kKeys) QTimer::singleShot(1000, qApp, &QApplication::quit);
  });
  last = clock.elapsed();
  tick.start();
  key.start();
  QApplication::exec();

  QLabel* summary = window->findChild<QLabel*>(QStringLiteral("lblPreview"));
  std::printf("preview after typing: %s\n",
              summary != nullptr ? summary->text().toUtf8().constData() : "(none)");
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "typing in a slot field, %d files, preview on: longest input gap %lld ms "
      "(target 100 ms)\n",
      kFiles, static_cast<long long>(longest));
  std::printf("window with %d entries and the preview: max resident size %ld KiB\n", kFiles,
              usage.ru_maxrss);
  window.reset();
  return 0;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::RunInApplication(argc, argv, velmora::Run); }
