#include "input_hold.h"

#include <QCoreApplication>
#include <QEvent>

namespace pellar {
namespace {

bool IsOperatorInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputHold::InputHold() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeEventFilter(this);
}

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
  // Accepted, so that no shortcut (F1, say) is tried for the key either.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (IsOperatorInput(event->type())) return true;
  return QObject::eventFilter(watched, event);
}

void HandlePendingRequests() {
  if (QCoreApplication::instance() == nullptr) return;
  InputHold hold;
  QCoreApplication::processEvents();
}

}  // namespace pellar
