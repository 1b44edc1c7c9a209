// Answers the modal windows a test provokes: for each one that appears,
// the next scripted step looks at it, then presses a button by caption,
// closes it by its frame or presses Escape.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace velmora::testing {

class ModalAnswerer {
 public:
  static inline const QString kClose = QStringLiteral("<close>");
  static inline const QString kEscape = QStringLiteral("<escape>");

  struct Step {
    QString window;  // expected objectName of the modal window
    QString button;  // caption to press, or kClose / kEscape
    std::function<void(QWidget*)> inspect = {};
  };

  // The newest answerer alive answers; older ones wait until it is gone.
  // Each step's inspect (optional) sees the window before the answer.
  ModalAnswerer(std::initializer_list<Step> steps = {}) : previous_(current_), steps_(steps) {
    current_ = this;
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  ~ModalAnswerer() { current_ = previous_; }
  ModalAnswerer(const ModalAnswerer&) = delete;
  ModalAnswerer& operator=(const ModalAnswerer&) = delete;

  void Then(Step step) { steps_.push_back(std::move(step)); }

  // Windows seen, as "objectName:caption pressed", in order.
  [[nodiscard]] const std::vector<std::string>& log() const { return log_; }
  [[nodiscard]] bool AllAnswered() const { return steps_.empty(); }

 private:
  void Poll() {
    if (current_ != this) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal->property("answered").toBool()) return;
    modal->setProperty("answered", true);
    const Step step = steps_.empty() ? Step{{}, QStringLiteral("<unexpected>")} : steps_.front();
    if (!steps_.empty()) steps_.pop_front();
    log_.push_back(modal->objectName().toStdString() + ":" + step.button.toStdString());
    if (step.inspect) step.inspect(modal);
    if (step.button == kEscape && modal->objectName() == step.window) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(modal, &press);
      return;
    }
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
      // Message boxes caption their button "OK" or "&OK", by platform.
      const bool match = button->text() == step.button ||
                         (step.button == QLatin1String("OK") &&
                          QString(button->text()).remove(QLatin1Char('&')) == step.button);
      if (match && button->isVisible() && modal->objectName() == step.window) {
        button->click();
        return;
      }
    }
    // kClose, unexpected, another window than expected, or no such button:
    // closed by its frame.
    if (step.button != kClose) log_.back() += "<no such button>";
    modal->close();
  }

  static inline ModalAnswerer* current_ = nullptr;
  ModalAnswerer* previous_;
  QTimer timer_;
  std::deque<Step> steps_;
  std::vector<std::string> log_;
};

}  // namespace velmora::testing
