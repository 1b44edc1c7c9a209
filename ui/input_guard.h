// While a search runs, the window lets pending events run once per folder so
// that "Abbrechen" can stop it; every other button, field and menu of the
// window must stay still meanwhile. This filter drops their mouse, key and
// shortcut input without changing how they look.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace velmora {

class InputGuard : public QObject {
  Q_OBJECT

 public:
  // Guards the widgets of window except allowed (and its children).
  InputGuard(QWidget* window, QWidget* allowed);

  // Starts or stops dropping input; stopping twice is harmless.
  void SetActive(bool active);
  [[nodiscard]] bool active() const { return active_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> allowed_;
  bool active_ = false;
};

}  // namespace velmora
