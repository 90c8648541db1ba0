#pragma once

#include <functional>
#include <string>
#include <vector>

#include "device/device_context.h"
#include "device/hid_api.h"

namespace pellar {

// One row of the device list, as text only: the identifiers are read back from it when opening.
struct DeviceRow {
  std::string manufacturer;
  std::string device_name;
  std::string product_id;  // "0x%04x"
  std::string vendor_id;   // "0x%04x"
  std::string path;        // where the scan found it; not a column
};
using DeviceTable = std::vector<DeviceRow>;

inline constexpr const char* kDeviceColumnTitles[] = {"Manufacturer", "DeviceName", "ProductID",
                                                      "VendorID"};
inline constexpr int kDeviceColumnWidths[] = {200, 150, 150, 150};

// The operator's choice in the list: the selected rows and the selection mark, the row last
// clicked or moved to without Shift (-1 when there is none).
struct DeviceSelection {
  std::vector<int> selected_rows;
  int mark = -1;
};

// Lists every HID device with non-zero identifiers: the first listed on top, the others below it in
// reverse order (each later row is inserted at position 1). No message, even when empty.
DeviceTable ScanDevices(HidApi& hid);

// "0x%04x".
std::string FormatDeviceId(unsigned value);
// Reads an identifier back from its text as strtol with base 16 does, keeping the low 16 bits.
std::uint16_t ParseDeviceId(const std::string& text);

// Opens the device of the selection mark's row: the device at the row's path when one with the
// row's pair is still listed there, else the first listed with the pair. Shows "please select devices!" (no HID call) or
// "HID open failed!" (after which the library is shut down again) and returns null on failure.
DeviceHandle OpenSelectedDevice(DeviceContext& context, const DeviceTable& table,
                                const DeviceSelection& selection);
// Opens exactly the device at this path; "HID open failed!" and null on failure.
DeviceHandle OpenDevicePath(DeviceContext& context, const std::string& path);
// hid_close, then hid_exit. Every operation that got a handle calls it exactly once.
void CloseDevice(HidApi& hid, DeviceHandle device);

// How an operation opens its device: the window opens the selected row, the command line the
// device it was told. Shows its own message and returns null on failure.
using DeviceOpener = std::function<DeviceHandle()>;

}  // namespace pellar
