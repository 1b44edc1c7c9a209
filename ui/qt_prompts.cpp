#include "ui/qt_prompts.h"

#include <QApplication>
#include <QProgressBar>
#include <QWidget>

#include "ui/overwrite_dialog.h"
#include "ui/run_dialog.h"
#include "ui/run_report.h"

namespace velmora {

Answer QtRunDialogs::AskDialog(const std::string& source, const std::string& target, RunKind kind) {
  const Answer answer = Dialog::Ask(source, target, kind, owner_);
  // The owner shows the state the step left behind before the next question.
  if (owner_ != nullptr) owner_->repaint();
  return answer;
}

Answer QtRunDialogs::AskDialog2(const std::string& target) {
  const Answer answer = Dialog2::Ask(target, owner_);
  if (owner_ != nullptr) owner_->repaint();
  return answer;
}

QtProgressBar::QtProgressBar(QProgressBar* bar) : bar_(bar) { sinceShown_.start(); }

void QtProgressBar::SetMaximum(int maximum) {
  bar_->setMaximum(maximum);
  bar_->setFormat(CountOfText(bar_->value(), maximum));
}

void QtProgressBar::SetValue(int value) {
  // A step repaints the bar at once; tens of thousands of them would cost
  // more than the run, and the eye sees no more than a few dozen a second.
  if (value <= bar_->minimum() || value >= bar_->maximum() ||
      sinceShown_.elapsed() >= kStepIntervalMs) {
    bar_->setValue(value);
    bar_->setFormat(CountOfText(value, bar_->maximum()));
    sinceShown_.restart();
  }
}

void QtRunStop::Start() {
  running_ = true;
  requested_ = false;
  sinceEvents_.start();
}

void QtRunStop::Finish() {
  running_ = false;
  requested_ = false;
}

void QtRunStop::Request() {
  if (running_) requested_ = true;
}

bool QtRunStop::StopRequested() {
  if (running_ && sinceEvents_.elapsed() >= kEventIntervalMs) {
    QApplication::processEvents();
    sinceEvents_.restart();
  }
  return requested_;
}

}  // namespace velmora
