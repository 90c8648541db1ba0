#include "window_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace pellar {

void WindowClock::Sleep(int milliseconds) {
  if (milliseconds <= 0) return;
  if (QCoreApplication::instance() == nullptr) {
    real_->Sleep(milliseconds);
    return;
  }
  // Input waits in the queue until the operation is over; painting and the desktop's requests
  // (close among them) are handled now.
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(milliseconds);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace pellar
