// What the tag panel needs from the main window, taken from the window's
// public side: the found list with its marks, the log option, the progress
// bar and the repeat search.
#pragma once

#include "ui/tag_panel.h"

namespace velmora {

class Main;

class MainTagHost : public TagPanelHost {
 public:
  explicit MainTagHost(Main& main) : main_(main) {}

  TagList TagEntries() override;
  bool LogOptionOn() const override;
  void SetTagProgress(int value) override;
  // The search button pressed twice: reset, then search again.
  void RepeatTagSearch() override;

 private:
  Main& main_;
};

}  // namespace velmora
