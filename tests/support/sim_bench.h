#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/device_context.h"
#include "device/trace.h"
#include "sim/simulated_hid.h"
#include "support/recording_operator.h"

namespace pellar::testing {

// Simulated devices on virtual time, with everything the core is told and does written down:
// the operator's events, the trace of every HID call and wait, and the devices' own record.
class SimBench {
 public:
  // `config_json` is a simulated-device file's text; a bad one fails the test at once.
  explicit SimBench(const std::string& config_json, const std::string& encoding = "UTF-8");

  DeviceContext& context() { return context_; }
  SimulatedHid& sim() { return sim_; }
  RecordingOperator& ui() { return ui_; }
  VirtualClock& clock() { return clock_; }
  double NowMs() const { return clock_.NowMs(); }

  // The trace entries, e.g. {"t":0,"op":"write",...}.
  const std::vector<nlohmann::ordered_json>& trace() const { return trace_->entries(); }
  // The waits in order: "sleep 30" for a fixed wait, "read 1024/3000 -> 0" for every read.
  std::vector<std::string> Waits() const;
  // The ops in order ("init", "open", "write", ...).
  std::vector<std::string> Ops() const;
  // Frames written, in order, as the device received them.
  const std::vector<CommandFrame>& Requests(int device = 0) const { return sim_.Requests(device); }

  // Every open was matched by one close and every init by one exit; no stray close.
  ::testing::AssertionResult LibraryReleased() const;

 private:
  VirtualClock clock_;
  SimulatedHid sim_;
  std::unique_ptr<Trace> trace_;
  std::unique_ptr<HidApi> hid_;
  std::unique_ptr<Clock> traced_clock_;
  RecordingOperator ui_;
  TextCodec codec_;
  DeviceContext context_;
};

// A one-device configuration: vid 0x1234, pid 0x5678, with the given rules (a JSON array text).
std::string OneDevice(const std::string& rules_json = "[]", const std::string& fields_json = "{}");

}  // namespace pellar::testing
