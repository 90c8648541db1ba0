// The simulated-device file: parsed, and when it is valid, the devices it describes listed as
// the window and the command line list them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/clock.h"
#include "device/device_table.h"
#include "sim/sim_config.h"
#include "sim/simulated_hid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pellar;
  std::string error;
  std::optional<SimConfig> config =
      ParseSimConfig(std::string(reinterpret_cast<const char*>(data), size), &error);
  if (!config) {
    if (error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  VirtualClock clock;
  SimulatedHid hid(std::move(*config), clock);
  (void)ScanDevices(hid);
  return 0;
}
