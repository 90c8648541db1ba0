#include "device/device_table.h"

#include <cstdio>
#include <cstdlib>

namespace pellar {

std::string FormatDeviceId(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04x", value);
  return text;
}

std::uint16_t ParseDeviceId(const std::string& text) {
  long value = std::strtol(text.c_str(), nullptr, 16);
  return static_cast<std::uint16_t>(value & 0xFFFF);
}

DeviceTable ScanDevices(HidApi& hid) {
  DeviceTable table;
  HidDeviceInfo* devices = hid.Enumerate(0, 0);
  for (HidDeviceInfo* entry = devices; entry != nullptr; entry = entry->next) {
    if (entry->vendor_id == 0 || entry->product_id == 0) continue;
    DeviceRow row{entry->manufacturer, entry->product, FormatDeviceId(entry->product_id),
                  FormatDeviceId(entry->vendor_id), entry->path};
    // Every row goes in at position 1, which is past the end only while the table is empty.
    auto position = table.empty() ? table.end() : table.begin() + 1;
    table.insert(position, std::move(row));
  }
  hid.FreeEnumeration(devices);
  return table;
}

namespace {

// Whether the library still lists a device at `path` with this pair: then the row's own device is
// there, and not another unit of the same kind that happens to be listed first.
bool StillListed(HidApi& hid, const std::string& path, std::uint16_t vendor_id,
                 std::uint16_t product_id) {
  if (path.empty()) return false;
  HidDeviceInfo* devices = hid.Enumerate(vendor_id, product_id);
  bool found = false;
  for (HidDeviceInfo* entry = devices; entry != nullptr && !found; entry = entry->next) {
    found = entry->path == path && entry->vendor_id == vendor_id && entry->product_id == product_id;
  }
  hid.FreeEnumeration(devices);
  return found;
}

}  // namespace

DeviceHandle OpenSelectedDevice(DeviceContext& context, const DeviceTable& table,
                                const DeviceSelection& selection) {
  if (selection.selected_rows.empty()) {
    context.ui.ShowMessage("please select devices!");
    return nullptr;
  }
  // A mark outside the table reads as an empty row, as the list's text of such a row would.
  DeviceRow row;
  if (selection.mark >= 0 && selection.mark < static_cast<int>(table.size())) {
    row = table[static_cast<std::size_t>(selection.mark)];
  }
  std::uint16_t vendor_id = ParseDeviceId(row.vendor_id);
  std::uint16_t product_id = ParseDeviceId(row.product_id);
  context.hid.Init();
  // The row's own device when it is still there; otherwise the first with the pair, so that the
  // next unit plugged in after the scan is taken without a rescan.
  DeviceHandle device = StillListed(context.hid, row.path, vendor_id, product_id)
                            ? context.hid.OpenPath(row.path)
                            : context.hid.Open(vendor_id, product_id);
  if (device == nullptr) {
    context.ui.ShowMessage("HID open failed!");
    context.hid.Exit();
  }
  return device;
}

DeviceHandle OpenDevicePath(DeviceContext& context, const std::string& path) {
  context.hid.Init();
  DeviceHandle device = context.hid.OpenPath(path);
  if (device == nullptr) {
    context.ui.ShowMessage("HID open failed!");
    context.hid.Exit();
  }
  return device;
}

void CloseDevice(HidApi& hid, DeviceHandle device) {
  hid.Close(device);
  hid.Exit();
}

}  // namespace pellar
