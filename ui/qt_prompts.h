// The window side of the engine's question and progress interfaces: the
// questions open `Dialog` and `Dialog2` over the owner window, the progress
// goes to a progress bar.
#pragma once

#include <QElapsedTimer>

#include "engine/run_dialogs.h"

class QProgressBar;
class QWidget;

namespace velmora {

class QtRunDialogs : public RunDialogs {
 public:
  explicit QtRunDialogs(QWidget* owner) : owner_(owner) {}
  int AskDialog(const std::string& nameSrc, const std::string& nameDest,
                const RunFlags& flags) override;
  int AskDialog2(const std::string& nameDest) override;

 private:
  QWidget* owner_;
};

// Steps a progress bar, showing at most one step every kStepIntervalMs;
// the last step always shows.
class QtProgressBar : public ProgressBar {
 public:
  static constexpr qint64 kStepIntervalMs = 25;

  explicit QtProgressBar(QProgressBar* bar);
  void SetMaximum(int maximum) override;
  void SetValue(int value) override;

 private:
  QProgressBar* bar_;
  QElapsedTimer sinceShown_;
};

}  // namespace velmora
