#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pellar {

// An open device, opaque to everything above the seam.
struct HidHandle;
using DeviceHandle = HidHandle*;

// One entry of an enumeration, linked like the HID library's own list. Strings are UTF-8.
struct HidDeviceInfo {
  std::string path;
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::string manufacturer;
  std::string product;
  std::string serial_number;
  HidDeviceInfo* next = nullptr;
};

// The one seam to the HID library. Every HID call of the program goes through an implementation
// of this interface: the real library (MakeHidapiBackend) or the simulated device. The calls and
// their results mean exactly what the HID library's calls of the same names mean.
class HidApi {
 public:
  virtual ~HidApi() = default;

  virtual int Init() = 0;
  virtual int Exit() = 0;
  // Returns the head of a list to give back with FreeEnumeration; null when nothing is attached.
  virtual HidDeviceInfo* Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) = 0;
  virtual void FreeEnumeration(HidDeviceInfo* devices) = 0;
  // Opens the first listed device with this pair; never takes a serial number.
  virtual DeviceHandle Open(std::uint16_t vendor_id, std::uint16_t product_id) = 0;
  virtual DeviceHandle OpenPath(const std::string& path) = 0;
  virtual void Close(DeviceHandle device) = 0;
  virtual int SetNonblocking(DeviceHandle device, int nonblock) = 0;
  virtual int Write(DeviceHandle device, const std::uint8_t* data, std::size_t length) = 0;
  // 0: nothing arrived within the timeout; negative: the read failed.
  virtual int ReadTimeout(DeviceHandle device, std::uint8_t* data, std::size_t length,
                          int milliseconds) = 0;
};

// Frees a list that the seam's Enumerate returned; for implementations that build it with new.
void DeleteDeviceList(HidDeviceInfo* devices);

}  // namespace pellar
