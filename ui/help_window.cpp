#include "ui/help_window.h"

#include "services/help_file.h"
#include "services/translation.h"
#include "ui/message_box.h"

namespace velmora {

HelpWindow::HelpWindow(const std::string& helpPath)
    : LineListWindow(QStringLiteral("Hilfe"), tr("Hilfe")) {
  const HelpText text = ReadHelpFile(helpPath);
  SetLines(text.lines);
  if (!text.ok) {
    ShowMessageBox(nullptr, UiText(kHelpMissingText), QString::fromUtf8(kHelpMissingTitle));
  }
}

}  // namespace velmora
