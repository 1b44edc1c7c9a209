// Pieces the two question dialogs share: a read-only path field that shows
// the left or right end of a long path, and buttons that are never the
// dialog's default.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

namespace velmora {

// A path shown in the "Links" or "Rechts" view; the full path is kept.
class PathField : public QLineEdit {
  Q_OBJECT

 public:
  PathField(const char* name, std::string path, QWidget* parent);

  // Shows the path's left end (leftView) or right end.
  void ShowView(bool leftView);

 private:
  std::string path_;
};

// A button in the dialogs' label font that Enter never presses unless it has
// the focus.
QPushButton* MakeDialogButton(const char* name, const QString& caption, QWidget* parent);

// A label in the dialogs' label font.
QLabel* MakeDialogLabel(const char* name, const QString& text, QWidget* parent);

// An option ("Links", "Rechts") in the dialogs' label font.
QRadioButton* MakeDialogOption(const char* name, const QString& caption, QWidget* parent);

}  // namespace velmora
