// `Dialog2`, "Löschen ???": asks whether an existing target file is to be
// deleted so that the step can go ahead. One dialog per question.
#pragma once

#include <QDialog>
#include <string>

#include "engine/run_dialogs.h"

namespace velmora {

class PathField;

class Dialog2 : public QDialog {
  Q_OBJECT

 public:
  Dialog2(const std::string& target, QWidget* owner);

  // Shows the dialog modally over owner and returns the button's code, or
  // Answer::kClosed when it was closed by its frame or Escape.
  static Answer Ask(const std::string& target, QWidget* owner);

  [[nodiscard]] Answer answer() const { return answer_; }

 private:
  void Choose(Answer answer);

  Answer answer_ = Answer::kClosed;
  PathField* txtTo_ = nullptr;
};

}  // namespace velmora
