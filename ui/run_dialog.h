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
  Dialog(const std::string& nameSrc, const std::string& nameDest, const RunFlags& flags,
         QWidget* owner);

  // Shows the dialog modally over owner and returns the button's code, or
  // kAnswerClosed when it was closed by its frame or Escape.
  static int Ask(const std::string& nameSrc, const std::string& nameDest, const RunFlags& flags,
                 QWidget* owner);

  int answer() const { return answer_; }

 private:
  void Answer(int code);
  void ShowViews(bool leftView);

  int answer_ = kAnswerClosed;
  QLabel* label1_ = nullptr;
  PathField* txtFrom_ = nullptr;
  PathField* txtTo_ = nullptr;
  QRadioButton* optLeft_ = nullptr;
  QRadioButton* optRight_ = nullptr;
};

}  // namespace velmora
