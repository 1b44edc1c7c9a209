// The window side of the engine's question, progress and stop interfaces:
// the questions open `Dialog` and `Dialog2` over the owner window, the
// progress goes to a progress bar, and a run asks between steps whether
// "Abbrechen" was pressed.
#pragma once

#include <QElapsedTimer>

#include "engine/run_dialogs.h"
#include "engine/run_journal.h"

class QProgressBar;
class QWidget;

namespace velmora {

class QtRunDialogs : public RunDialogs {
 public:
  explicit QtRunDialogs(QWidget* owner) : owner_(owner) {}
  Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) override;
  Answer AskDialog2(const std::string& target) override;

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

// A run's stop request from the window. Asked between steps, it lets pending
// events run (at most every kEventIntervalMs) so that "Abbrechen" can be
// pressed while no dialog is open, as after "&Alle".
class QtRunStop : public StopSignal {
 public:
  static constexpr qint64 kEventIntervalMs = 25;

  // A run begins; no stop is requested yet.
  void Start();
  // The run has ended; later requests are ignored.
  void Finish();
  // "Abbrechen" was pressed, or the window is closing.
  void Request();
  [[nodiscard]] bool running() const { return running_; }

  bool StopRequested() override;

 private:
  bool running_ = false;
  bool requested_ = false;
  QElapsedTimer sinceEvents_;
};

}  // namespace velmora
