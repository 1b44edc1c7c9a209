// `Dialog`, "Sind Sie sicher ??": asks before each step of a run or an undo
// whether the file gets its new name. One dialog per question.
#pragma once

#include <QDialog>
#include <string>

#include "engine/job.h"
#include "engine/run_dialogs.h"

class QLabel;
class QRadioButton;

namespace velmora {

class PathField;

class Dialog : public QDialog {
  Q_OBJECT

 public:
  Dialog(const std::string& source, const std::string& target, RunKind kind, QWidget* owner);

  // Shows the dialog modally over owner and returns the button's code, or
  // Answer::kClosed when it was closed by its frame or Escape.
  static Answer Ask(const std::string& source, const std::string& target, RunKind kind,
                    QWidget* owner);

  [[nodiscard]] Answer answer() const { return answer_; }

 private:
  void Choose(Answer answer);
  void ShowViews(bool leftView);

  Answer answer_ = Answer::kClosed;
  QLabel* label1_ = nullptr;
  PathField* txtFrom_ = nullptr;
  PathField* txtTo_ = nullptr;
  QRadioButton* optLeft_ = nullptr;
  QRadioButton* optRight_ = nullptr;
};

}  // namespace velmora
