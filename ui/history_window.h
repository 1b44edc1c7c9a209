// The history window `Hist` ("Änderungsgeschichte"): the program's change
// history, newest release first.
#pragma once

#include <string>
#include <vector>

#include "ui/line_list_window.h"

namespace velmora {

// The history as list entries: per release a header (date DD.MM.YYYY, a tab,
// "V" and the version), its text lines each after two tabs, and an empty
// entry between releases. 14 releases.
std::vector<std::string> ChangeHistoryLines();

class HistoryWindow : public LineListWindow {
  Q_OBJECT

 public:
  HistoryWindow();
};

}  // namespace velmora
