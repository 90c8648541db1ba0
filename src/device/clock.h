#pragma once

#include <functional>
#include <memory>

namespace pellar {

// Every fixed wait of the program goes through a clock, so tests can run on virtual time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(int milliseconds) = 0;
  // A fixed wait that ends early once `stopped` says so, looked at every few milliseconds; true
  // when it was cut short. It is one wait, however it is cut into slices underneath.
  virtual bool SleepUnless(int milliseconds, const std::function<bool()>& stopped);
  // Milliseconds since an arbitrary start; only differences mean anything.
  virtual double NowMs() const = 0;
};

// Wall-clock time; Sleep blocks the calling thread.
std::unique_ptr<Clock> MakeRealClock();

// Time that moves only when told: Sleep and Advance add to it at once.
class VirtualClock final : public Clock {
 public:
  void Sleep(int milliseconds) override { Advance(milliseconds); }
  double NowMs() const override { return now_ms_; }
  void Advance(double milliseconds) { now_ms_ += milliseconds; }

 private:
  double now_ms_ = 0;
};

}  // namespace pellar
