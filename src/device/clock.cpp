#include "device/clock.h"

#include <chrono>
#include <thread>

namespace pellar {
namespace {

class RealClock final : public Clock {
 public:
  void Sleep(int milliseconds) override {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  double NowMs() const override {
    auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(elapsed).count();
  }
};

}  // namespace

std::unique_ptr<Clock> MakeRealClock() { return std::make_unique<RealClock>(); }

}  // namespace pellar
