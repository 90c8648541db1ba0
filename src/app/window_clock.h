#pragma once

#include <memory>

#include "device/clock.h"

namespace pellar {

// The window's clock. A fixed wait keeps the window painted and answering the desktop (it handles
// every event but the operator's input, which it drops, until the time is up), so that the desktop
// never offers to force-quit the program in the middle of an update. A close asked for meanwhile
// reaches the window, which records it; the running operation meets it at its next look.
class WindowClock final : public Clock {
 public:
  // Real time: a wait runs the window's events for its length.
  WindowClock();
  // Time kept by another clock (virtual time under test): a wait lets that clock pass the time,
  // then handles what arrived meanwhile.
  explicit WindowClock(Clock& time);

  void Sleep(int milliseconds) override;
  double NowMs() const override { return time_.NowMs(); }

 private:
  std::unique_ptr<Clock> real_;  // the time itself when no other clock keeps it
  Clock& time_;
};

}  // namespace pellar
