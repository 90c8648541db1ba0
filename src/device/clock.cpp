#include "device/clock.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cerrno>

namespace pellar {
namespace {

// How soon a stop request ends a long wait.
constexpr int kStopLookEveryMs = 20;

timespec AddMilliseconds(timespec at, int milliseconds) {
  at.tv_sec += milliseconds / 1000;
  at.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (at.tv_nsec >= 1000000000L) {
    at.tv_sec += 1;
    at.tv_nsec -= 1000000000L;
  }
  return at;
}

class RealClock final : public Clock {
 public:
  // An update makes thousands of waits of 30 and 5 ms. The kernel lets a sleep run late by the
  // thread's timer slack (50 us by default), so each waiting thread asks for the least, and the
  // wait sleeps to an absolute deadline, which a wake-up by a signal cannot shorten or stretch.
  // Nothing spins: dozens of units wait at once on two cores.
  void Sleep(int milliseconds) override {
    if (milliseconds <= 0) return;
    LowerTimerSlack();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const timespec deadline = AddMilliseconds(now, milliseconds);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
  }
  double NowMs() const override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
  }

 private:
  static void LowerTimerSlack() {
    thread_local bool lowered = false;
    if (lowered) return;
    prctl(PR_SET_TIMERSLACK, 1UL);
    lowered = true;
  }
};

}  // namespace

bool Clock::SleepUnless(int milliseconds, const std::function<bool()>& stopped) {
  for (int left = milliseconds; left > 0; left -= kStopLookEveryMs) {
    if (stopped()) return true;
    Sleep(std::min(left, kStopLookEveryMs));
  }
  return stopped();
}

std::unique_ptr<Clock> MakeRealClock() { return std::make_unique<RealClock>(); }

void VirtualClock::Sleep(int milliseconds) {
  std::unique_lock lock(mutex_);
  if (joined_ == 0) {
    now_ms_ += milliseconds;
    return;
  }
  const double wake_up = now_ms_ + milliseconds;
  wake_ups_.push_back(wake_up);
  AdvanceIfAllSleep();
  woken_.wait(lock, [&] { return now_ms_ >= wake_up; });
  wake_ups_.erase(std::find(wake_ups_.begin(), wake_ups_.end(), wake_up));
}

double VirtualClock::NowMs() const {
  std::lock_guard lock(mutex_);
  return now_ms_;
}

void VirtualClock::Advance(double milliseconds) {
  std::lock_guard lock(mutex_);
  now_ms_ += milliseconds;
  woken_.notify_all();
}

void VirtualClock::ThreadJoins() {
  std::lock_guard lock(mutex_);
  ++joined_;
}

void VirtualClock::ThreadLeaves() {
  std::lock_guard lock(mutex_);
  --joined_;
  AdvanceIfAllSleep();
}

void VirtualClock::AdvanceIfAllSleep() {
  // Threads already woken but not yet gone still count as sleeping until they leave the wait;
  // only wake-ups still ahead of the time can move it.
  const auto ahead = std::count_if(wake_ups_.begin(), wake_ups_.end(),
                                   [this](double at) { return at > now_ms_; });
  const auto due = static_cast<long>(wake_ups_.size()) - ahead;
  if (joined_ == 0 || ahead == 0 || due > 0 || static_cast<int>(wake_ups_.size()) < joined_) return;
  now_ms_ = *std::min_element(wake_ups_.begin(), wake_ups_.end());
  woken_.notify_all();
}

}  // namespace pellar
