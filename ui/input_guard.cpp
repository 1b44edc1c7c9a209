#include "ui/input_guard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace velmora {

namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputGuard::InputGuard(QWidget* window, QWidget* allowed)
    : QObject(window), window_(window), allowed_(allowed) {}

void InputGuard::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active) {
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
  }
}

bool InputGuard::eventFilter(QObject* watched, QEvent* event) {
  if (!IsUserInput(event->type()) || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Other windows (a message box the search shows) take their input.
  if (window_ == nullptr || widget->window() != window_) return false;
  if (allowed_ != nullptr && (widget == allowed_ || allowed_->isAncestorOf(widget))) return false;
  return true;
}

}  // namespace velmora
