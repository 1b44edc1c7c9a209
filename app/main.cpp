// The window program: starts the main window and runs until it is closed.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <string>
#include <vector>

#include "services/command_line.h"
#include "services/crash_guard.h"
#include "services/error_log.h"
#include "services/settings.h"
#include "services/translation.h"
#include "ui/main_window.h"

namespace {

constexpr char kUsage[] =
    VELMORA_TEXT("velmora",
                 "Aufruf: velmora [ORDNER]\n"
                 "Öffnet das Fenster; mit ORDNER ist dieser Ordner für die Suche gewählt.\n"
                 "\n"
                 "  --help     diese Hilfe zeigen und beenden\n"
                 "  --version  die Version zeigen und beenden\n"
                 "\n"
                 "Dasselbe aus Skripten und im Terminal: velmora-cli --help\n");

// "--help" and "--version" alone answer without a window, so they work
// where no display is; any other command line names a folder.
int AnswerWithoutWindow(int argc, char* argv[]) {
  if (argc != 2) return -1;
  const std::string option = argv[1];
  if (option != "--help" && option != "--version") return -1;
  const QCoreApplication core(argc, argv);
  velmora::UseLanguage(
      velmora::ChosenLanguage(velmora::SettingsStore().ReadSetting(velmora::kKeyLanguage)),
      velmora::ProgramFolder());
  const std::string text = option == "--version" ? std::string("velmora " VELMORA_VERSION "\n")
                                                 : velmora::Tr("velmora", kUsage);
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (const int status = AnswerWithoutWindow(argc, argv); status >= 0) return status;
  QApplication app(argc, argv);
  // Ctrl+C or SIGTERM mid-copy: no partial file stays, no temporary name.
  velmora::InstallCrashHandler();
  QApplication::setApplicationName(QString::fromLatin1(velmora::kAppTitle));
  // German unless the menu's choice or the user's language says English.
  velmora::UseLanguage(
      velmora::ChosenLanguage(velmora::SettingsStore().ReadSetting(velmora::kKeyLanguage)),
      velmora::ProgramFolder());

  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  velmora::MainEnvironment environment;
  environment.commandLine = velmora::CommandLineText(arguments);
  environment.workingFolder = QDir::currentPath().toStdString();

  velmora::Main window(environment);
  window.Form_Load();
  window.show();
  return QApplication::exec();
}
