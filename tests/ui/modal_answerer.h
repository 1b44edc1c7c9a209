// Answers the modal windows a test provokes: polls for the active modal
// window and, for each one that appears, performs the next scripted step
// (look at it, then press a button by caption, close it by its frame, or
// press Escape).
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
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
    std::function<void(QWidget*)> inspect;
  };

  // The newest answerer alive answers; older ones wait until it is gone.
  ModalAnswerer() : previous_(current_) {
    current_ = this;
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  ~ModalAnswerer() { current_ = previous_; }
  ModalAnswerer(const ModalAnswerer&) = delete;
  ModalAnswerer& operator=(const ModalAnswerer&) = delete;

  // Queues one answer; inspect (optional) sees the window before the answer.
  ModalAnswerer& Then(const QString& window, const QString& button,
                      std::function<void(QWidget*)> inspect = {}) {
    steps_.push_back({window, button, std::move(inspect)});
    return *this;
  }

  // Windows seen, as "objectName:caption pressed", in order.
  const std::vector<std::string>& log() const { return log_; }
  bool AllAnswered() const { return steps_.empty(); }

 private:
  void Poll() {
    if (current_ != this) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal->property("answered").toBool()) return;
    modal->setProperty("answered", true);
    if (steps_.empty()) {
      log_.push_back(modal->objectName().toStdString() + ":<unexpected>");
      modal->close();
      return;
    }
    Step step = steps_.front();
    steps_.pop_front();
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
    // kClose, another window than expected, or no such button: closed by its frame.
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
