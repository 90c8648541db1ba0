#pragma once

#include <memory>
#include <string>

namespace pellar {

// Whether this user may open a device node for reading and writing.
enum class DeviceAccess { kAllowed, kDenied, kUnknown };

// What the system tells of attached devices beyond what the HID library reports: the USB port a
// device sits in (a stable slot name, unlike /dev/hidrawN), whether it may be opened, and when
// devices come and go. The real one asks udev; the simulated device answers from its file.
class DeviceSystem {
 public:
  virtual ~DeviceSystem() = default;
  // The USB device's sysfs name, such as "1-2.3", for a HID path; empty when unknown.
  virtual std::string PortOf(const std::string& hid_path) = 0;
  virtual DeviceAccess AccessOf(const std::string& hid_path) = 0;
  // Waits at most `timeout_ms` for a device to come or go; true when one may have.
  // Safe to call from one thread while others use the HID seam.
  virtual bool WaitForChange(int timeout_ms) = 0;
};

// The system's own devices, through libudev. The only code that includes libudev.
std::unique_ptr<DeviceSystem> MakeUdevSystem();

}  // namespace pellar
