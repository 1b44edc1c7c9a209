// The program's message boxes: an OK button only, no icon, the program's
// title. Texts may carry CR LF or a lone CR as line breaks; they are shown as
// plain text, so a file name is never read as markup.
#pragma once

#include <QString>
#include <string>

#include "engine/error_reporter.h"

class QMessageBox;
class QWidget;

namespace velmora {

// The title of the main window and of every message box.
inline constexpr const char* kAppTitle = "Velmora";

// Gives box the program's look: its object name, no icon, the title, and
// text shown as plain text.
void PreparePlainBox(QMessageBox& box, const QString& name, const QString& text,
                     const QString& title = kAppTitle);

// Shows `text` modally over `parent` (may be null) and returns once the user
// has closed the box.
void ShowMessageBox(QWidget* parent, const QString& text, const QString& title = kAppTitle);

// A message sink that shows each message in a box over its parent window.
class QtMessageSink : public MessageSink {
 public:
  explicit QtMessageSink(QWidget* parent) : parent_(parent) {}
  void ShowMessage(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace velmora
