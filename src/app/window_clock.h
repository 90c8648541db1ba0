#pragma once

#include <memory>

#include "device/clock.h"

namespace pellar {

// The window's clock. A fixed wait keeps the window painted and answering the desktop (it handles
// every event but the operator's input until the time is up), so that the desktop never offers to
// force-quit the program in the middle of an update. A close asked for meanwhile reaches the
// window, which only records it; the running operation meets it at its next breath.
class WindowClock final : public Clock {
 public:
  void Sleep(int milliseconds) override;
  double NowMs() const override { return real_->NowMs(); }

 private:
  std::unique_ptr<Clock> real_ = MakeRealClock();  // the time itself, and waits with no window
};

}  // namespace pellar
