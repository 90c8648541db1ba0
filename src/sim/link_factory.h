#pragma once

#include <memory>
#include <string>

#include "device/clock.h"
#include "device/device_system.h"
#include "device/hid_api.h"
#include "device/text_codec.h"

namespace pellar {

class SimulatedHid;

// The options every front takes: the simulated device instead of the real HID library, a trace of
// every HID call and wait, and the encoding of text on the wire.
struct LinkOptions {
  std::string simulate_file;  // empty: the real HID library
  std::string trace_file;     // empty: no trace
  std::string encoding;       // empty: the locale's
};

// What a front runs the core on: the HID seam (real or simulated, traced or not), the clock of
// every fixed wait (traced or not) and the text codec.
class Link {
 public:
  virtual ~Link() = default;
  virtual HidApi& hid() = 0;
  virtual Clock& clock() = 0;
  virtual const TextCodec& codec() const = 0;
  // Ports, access and hot-plug of the devices behind hid(): udev, or the simulated device.
  virtual DeviceSystem& system() = 0;
  // The simulated device, or null on real hardware.
  virtual SimulatedHid* simulation() = 0;
};

// Null, with *error naming the file and the problem, when a file cannot be used or the encoding is
// unknown. `clock` is the front's own clock: the real one, or one that keeps a window painted.
std::unique_ptr<Link> MakeLink(const LinkOptions& options, std::unique_ptr<Clock> clock,
                               std::string* error);

struct SimConfig;
// Simulated devices from a configuration in memory, on a clock the caller keeps (it must outlive
// the link), with UTF-8 text and no trace: a window under test on virtual time.
std::unique_ptr<Link> MakeSimulatedLink(SimConfig config, Clock& clock);

}  // namespace pellar
