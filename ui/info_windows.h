// The three information windows of the menu: help, history and About. Each
// opens modeless and without an owner; opening one that is open only brings
// it forward, and a closed one is built afresh on the next opening.
#pragma once

#include <QPointer>
#include <string>

#include "ui/about_window.h"
#include "ui/help_window.h"
#include "ui/history_window.h"

namespace velmora {

class InfoWindows {
 public:
  // Help is looked up for a program in appPath (see FindHelpFile).
  explicit InfoWindows(std::string appPath) : appPath_(std::move(appPath)) {}
  // Closes the windows that are still open.
  ~InfoWindows();
  InfoWindows(const InfoWindows&) = delete;
  InfoWindows& operator=(const InfoWindows&) = delete;

  // Each returns the window shown.
  HelpWindow* OpenHelp();
  HistoryWindow* OpenHistory();
  AboutWindow* OpenAbout();

 private:
  std::string appPath_;
  QPointer<HelpWindow> help_;
  QPointer<HistoryWindow> history_;
  QPointer<AboutWindow> about_;
};

}  // namespace velmora
