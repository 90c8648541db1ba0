#pragma once

#include "device/hid_api.h"

namespace pellar {

// A unit's view of the shared HID seam. The station sets the library up once and shuts it down
// once; a unit's run still calls init and exit as every run does, and here they do nothing, so
// that no unit's exit can pull the library from under another unit's transfer.
class UnitHid final : public HidApi {
 public:
  explicit UnitHid(HidApi& shared) : shared_(shared) {}

  int Init() override { return 0; }
  int Exit() override { return 0; }
  HidDeviceInfo* Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) override {
    return shared_.Enumerate(vendor_id, product_id);
  }
  void FreeEnumeration(HidDeviceInfo* devices) override { shared_.FreeEnumeration(devices); }
  DeviceHandle Open(std::uint16_t vendor_id, std::uint16_t product_id) override {
    return shared_.Open(vendor_id, product_id);
  }
  DeviceHandle OpenPath(const std::string& path) override { return shared_.OpenPath(path); }
  void Close(DeviceHandle device) override { shared_.Close(device); }
  int SetNonblocking(DeviceHandle device, int nonblock) override {
    return shared_.SetNonblocking(device, nonblock);
  }
  int Write(DeviceHandle device, const std::uint8_t* data, std::size_t length) override {
    return shared_.Write(device, data, length);
  }
  int ReadTimeout(DeviceHandle device, std::uint8_t* data, std::size_t length,
                  int milliseconds) override {
    return shared_.ReadTimeout(device, data, length, milliseconds);
  }

 private:
  HidApi& shared_;
};

}  // namespace pellar
