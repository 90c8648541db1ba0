#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace pellar {

// Every fixed wait of the program goes through a clock, so tests can run on virtual time.
// A clock may be shared by threads that wait in parallel (the station's units).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(int milliseconds) = 0;
  // A fixed wait that ends early once `stopped` says so, looked at every few milliseconds; true
  // when it was cut short. It is one wait, however it is cut into slices underneath.
  virtual bool SleepUnless(int milliseconds, const std::function<bool()>& stopped);
  // Milliseconds since an arbitrary start; only differences mean anything.
  virtual double NowMs() const = 0;
  // A thread that will wait on this clock alongside others begins or ends. The real clock needs
  // nothing; virtual time holds still until every such thread waits. Called by the thread that
  // starts the waiting thread (before it starts) and by the waiting thread when it is done.
  virtual void ThreadJoins() {}
  virtual void ThreadLeaves() {}
};

// Wall-clock time; Sleep blocks the calling thread, never for less than asked.
std::unique_ptr<Clock> MakeRealClock();

// Time that moves only when told. With no joined threads Sleep and Advance add to it at once. Once
// threads have joined, a Sleep waits until every joined thread sleeps; then time jumps to the
// earliest wake-up, so parallel waits overlap as on a wall clock, only faster.
class VirtualClock final : public Clock {
 public:
  void Sleep(int milliseconds) override;
  double NowMs() const override;
  void Advance(double milliseconds);
  void ThreadJoins() override;
  void ThreadLeaves() override;

 private:
  void AdvanceIfAllSleep();  // under the lock

  mutable std::mutex mutex_;
  std::condition_variable woken_;
  double now_ms_ = 0;
  int joined_ = 0;
  std::vector<double> wake_ups_;  // one per sleeping joined thread
};

}  // namespace pellar
