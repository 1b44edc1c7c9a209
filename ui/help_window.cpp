#include "ui/help_window.h"

#include "services/help_file.h"
#include "ui/message_box.h"

namespace velmora {

HelpWindow::HelpWindow(const std::string& helpPath)
    : LineListWindow(QStringLiteral("Hilfe"), QStringLiteral("Hilfe")) {
  const HelpText text = ReadHelpFile(helpPath);
  SetLines(text.lines);
  if (!text.ok) {
    ShowMessageBox(nullptr, QString::fromUtf8(kHelpMissingText),
                   QString::fromUtf8(kHelpMissingTitle));
  }
}

}  // namespace velmora
