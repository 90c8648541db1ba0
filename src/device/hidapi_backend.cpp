#include "device/hidapi_backend.h"

#include <hidapi.h>

#include <cwchar>
#include <mutex>
#include <string>

namespace pellar {
namespace {

std::string ToUtf8(const wchar_t* text) {
  std::string out;
  if (text == nullptr) return out;
  for (; *text != L'\0'; ++text) {
    auto code = static_cast<std::uint32_t>(*text);
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

hid_device* Native(DeviceHandle device) { return reinterpret_cast<hid_device*>(device); }
DeviceHandle Wrap(hid_device* device) { return reinterpret_cast<DeviceHandle>(device); }

// hidapi keeps one error text for the library as a whole, which init, exit, enumerate and the opens
// replace (freeing the old one): the station's units and its watcher call them from several
// threads, so those calls take turns. Calls on one open device touch only that device.
class HidapiBackend final : public HidApi {
 public:
  int Init() override {
    std::lock_guard lock(library_);
    return hid_init();
  }
  int Exit() override {
    std::lock_guard lock(library_);
    return hid_exit();
  }

  HidDeviceInfo* Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) override {
    std::lock_guard lock(library_);
    hid_device_info* native = hid_enumerate(vendor_id, product_id);
    HidDeviceInfo* head = nullptr;
    HidDeviceInfo** tail = &head;
    for (hid_device_info* entry = native; entry != nullptr; entry = entry->next) {
      auto* copy = new HidDeviceInfo;
      copy->path = entry->path != nullptr ? entry->path : "";
      copy->vendor_id = entry->vendor_id;
      copy->product_id = entry->product_id;
      copy->manufacturer = ToUtf8(entry->manufacturer_string);
      copy->product = ToUtf8(entry->product_string);
      copy->serial_number = ToUtf8(entry->serial_number);
      *tail = copy;
      tail = &copy->next;
    }
    hid_free_enumeration(native);
    return head;
  }

  void FreeEnumeration(HidDeviceInfo* devices) override { DeleteDeviceList(devices); }

  DeviceHandle Open(std::uint16_t vendor_id, std::uint16_t product_id) override {
    std::lock_guard lock(library_);
    return Wrap(hid_open(vendor_id, product_id, nullptr));
  }
  DeviceHandle OpenPath(const std::string& path) override {
    std::lock_guard lock(library_);
    return Wrap(hid_open_path(path.c_str()));
  }
  void Close(DeviceHandle device) override {
    std::lock_guard lock(library_);
    hid_close(Native(device));
  }
  int SetNonblocking(DeviceHandle device, int nonblock) override {
    return hid_set_nonblocking(Native(device), nonblock);
  }
  int Write(DeviceHandle device, const std::uint8_t* data, std::size_t length) override {
    return hid_write(Native(device), data, length);
  }
  int ReadTimeout(DeviceHandle device, std::uint8_t* data, std::size_t length,
                  int milliseconds) override {
    return hid_read_timeout(Native(device), data, length, milliseconds);
  }

 private:
  std::mutex library_;
};

}  // namespace

void DeleteDeviceList(HidDeviceInfo* devices) {
  while (devices != nullptr) {
    HidDeviceInfo* next = devices->next;
    delete devices;
    devices = next;
  }
}

std::unique_ptr<HidApi> MakeHidapiBackend() { return std::make_unique<HidapiBackend>(); }

}  // namespace pellar
