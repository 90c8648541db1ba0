#include "device/clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace pellar {
namespace {

constexpr auto kAwakeMargin = std::chrono::microseconds(200);
// How soon a stop request ends a long wait.
constexpr int kStopLookEveryMs = 20;

class RealClock final : public Clock {
 public:
  // Waking from a sleep takes the system a tenth of a millisecond or more on a busy machine, and
  // an update makes thousands of fixed waits: the last stretch of each is waited out awake, so a
  // wait lasts as long as given and hardly longer.
  void Sleep(int milliseconds) override {
    if (milliseconds <= 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::this_thread::sleep_until(deadline - kAwakeMargin);
    while (std::chrono::steady_clock::now() < deadline) {
    }
  }
  double NowMs() const override {
    auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(elapsed).count();
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

}  // namespace pellar
