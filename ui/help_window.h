// The help window `Hilfe`: the lines of the help text Hilfe.txt in a list.
#pragma once

#include <string>

#include "engine/user_text.h"
#include "ui/line_list_window.h"

namespace velmora {

inline constexpr const char* kHelpMissingText =
    VELMORA_TEXT("velmora", "File: Hilfe.txt nicht gefunden");
inline constexpr const char* kHelpMissingTitle = "ERROR";

class HelpWindow : public LineListWindow {
  Q_OBJECT

 public:
  // Fills the list from the help file at helpPath. When it cannot be opened
  // or read, shows "File: Hilfe.txt nicht gefunden" titled "ERROR" and keeps
  // what was read; the window opens anyway.
  explicit HelpWindow(const std::string& helpPath);
};

}  // namespace velmora
