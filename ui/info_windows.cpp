#include "ui/info_windows.h"

#include "services/help_file.h"

namespace velmora {
namespace {

template <typename Window, typename Make>
Window* ShowOrRaise(QPointer<Window>& window, Make make) {
  // A closed window is only waiting to be deleted: build a new one.
  if (window.isNull() || !window->isVisible()) {
    window = make();
    window->show();
  } else {
    window->show();
    window->raise();
    window->activateWindow();
  }
  return window.data();
}

// Closing discards the window: each deletes itself on close.
template <typename Window>
void Discard(QPointer<Window>& window) {
  if (!window.isNull()) window->close();
}

}  // namespace

InfoWindows::~InfoWindows() {
  Discard(help_);
  Discard(history_);
  Discard(about_);
}

HelpWindow* InfoWindows::OpenHelp() {
  return ShowOrRaise(help_, [this] { return new HelpWindow(FindHelpFile(appPath_)); });
}

HistoryWindow* InfoWindows::OpenHistory() {
  return ShowOrRaise(history_, [] { return new HistoryWindow; });
}

AboutWindow* InfoWindows::OpenAbout() {
  return ShowOrRaise(about_, [] { return new AboutWindow; });
}

}  // namespace velmora
