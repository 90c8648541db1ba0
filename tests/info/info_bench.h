#pragma once

#include <string>

#include "device/device_table.h"
#include "support/sim_bench.h"

namespace pellar::testing {

// The one simulated device of OneDevice, listed and selected as the window would have it.
class InfoBench : public SimBench {
 public:
  explicit InfoBench(const std::string& rules_json = "[]", const std::string& fields_json = "{}",
                     const std::string& encoding = "UTF-8")
      : SimBench(OneDevice(rules_json, fields_json), encoding) {}

  DeviceOpener Opener() {
    return [this] { return OpenSelectedDevice(context(), table_, selection_); };
  }
  void Deselect() { selection_ = DeviceSelection{}; }

 private:
  DeviceTable table_{{"Acme", "Cam", "0x5678", "0x1234"}};
  DeviceSelection selection_{{0}, 0};
};

}  // namespace pellar::testing
