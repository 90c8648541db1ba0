#pragma once

#include <functional>
#include <string>
#include <vector>

#include "device/operator.h"

namespace pellar::testing {

// An operator that writes down everything it is told, in order, as lines such as
// "message: HID open failed!", "progress: 0", "status: update x ...", "breathe".
class RecordingOperator final : public Operator {
 public:
  void ShowMessage(const std::string& text) override;
  void SetProgress(int position) override;
  void SetStatus(const std::string& text) override;
  bool Breathe() override;
  // A close taken at a breath stays requested, as the window's does.
  bool StopRequested() const override {
    return (close_at_breath_ > 0 && breaths_ >= close_at_breath_) ||
           (stop_requested_ && stop_requested_());
  }

  // Breathe reports a close request from its n-th call on (1-based); 0: never.
  void RequestCloseAtBreath(int breath) { close_at_breath_ = breath; }
  // StopRequested answers what this says (e.g. "the clock has passed 5000 ms").
  void RequestStopWhen(std::function<bool()> stop) { stop_requested_ = std::move(stop); }

  const std::vector<std::string>& events() const { return events_; }
  std::vector<std::string> messages() const;
  std::vector<int> progress() const;
  int breaths() const { return breaths_; }
  void Clear() { events_.clear(); }

 private:
  std::vector<std::string> events_;
  int breaths_ = 0;
  int close_at_breath_ = 0;
  std::function<bool()> stop_requested_;
};

}  // namespace pellar::testing
