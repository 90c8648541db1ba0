#pragma once

#include <memory>

namespace pellar {

// Every fixed wait of the program goes through a clock, so tests can run on virtual time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(int milliseconds) = 0;
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
