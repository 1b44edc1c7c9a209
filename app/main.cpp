// The window program: starts the main window and runs until it is closed.
#include <QApplication>
#include <QDir>
#include <string>
#include <vector>

#include "services/command_line.h"
#include "services/crash_guard.h"
#include "services/error_log.h"
#include "services/settings.h"
#include "services/translation.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
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
