#include "window_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "input_hold.h"

namespace pellar {

WindowClock::WindowClock() : real_(MakeRealClock()), time_(*real_) {}

WindowClock::WindowClock(Clock& time) : time_(time) {}

void WindowClock::Sleep(int milliseconds) {
  if (milliseconds <= 0) return;
  if (QCoreApplication::instance() == nullptr) {
    time_.Sleep(milliseconds);
    return;
  }
  if (real_ == nullptr) {
    time_.Sleep(milliseconds);
    HandlePendingRequests();
    return;
  }
  // Not ExcludeUserInputEvents: Qt counts the desktop's close request as input and would hold it
  // back until the wait is over. The hold drops the operator's input instead.
  InputHold hold;
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(milliseconds);
  loop.exec();
}

}  // namespace pellar
