#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "device/device_system.h"

namespace pellar {
namespace {

// The sysfs name of the hidraw node: "/dev/hidraw3" gives "hidraw3".
std::string NodeName(const std::string& hid_path) {
  const std::size_t slash = hid_path.rfind('/');
  return slash == std::string::npos ? hid_path : hid_path.substr(slash + 1);
}

class UdevSystem final : public DeviceSystem {
 public:
  UdevSystem() : udev_(udev_new()) {}
  ~UdevSystem() override {
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    if (udev_ != nullptr) udev_unref(udev_);
  }
  UdevSystem(const UdevSystem&) = delete;
  UdevSystem& operator=(const UdevSystem&) = delete;

  std::string PortOf(const std::string& hid_path) override {
    if (udev_ == nullptr || hid_path.rfind("/dev/", 0) != 0) return {};
    udev_device* node = udev_device_new_from_subsystem_sysname(udev_, "hidraw", NodeName(hid_path).c_str());
    if (node == nullptr) return {};
    // The USB device's own name is its port path, which stays with the socket across replugs.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(node, "usb", "usb_device");
    std::string port = usb != nullptr && udev_device_get_sysname(usb) != nullptr
                           ? udev_device_get_sysname(usb)
                           : "";
    udev_device_unref(node);  // the parent belongs to the child
    return port;
  }

  DeviceAccess AccessOf(const std::string& hid_path) override {
    if (hid_path.rfind("/dev/", 0) != 0) return DeviceAccess::kUnknown;
    if (access(hid_path.c_str(), R_OK | W_OK) == 0) return DeviceAccess::kAllowed;
    return errno == EACCES || errno == EPERM ? DeviceAccess::kDenied : DeviceAccess::kUnknown;
  }

  bool WaitForChange(int timeout_ms) override {
    if (!Monitoring()) {
      poll(nullptr, 0, timeout_ms);
      return false;
    }
    pollfd events{udev_monitor_get_fd(monitor_), POLLIN, 0};
    if (poll(&events, 1, timeout_ms) <= 0) return false;
    // Drain what came: the caller looks at the whole list again anyway.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) udev_device_unref(device);
    return true;
  }

 private:
  // The "udev" source reports a node only once its rules (and permissions) are applied.
  bool Monitoring() {
    if (monitor_ != nullptr) return true;
    if (udev_ == nullptr) return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr) return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
      udev_monitor_unref(monitor_);
      monitor_ = nullptr;
      return false;
    }
    return true;
  }

  udev* udev_;
  udev_monitor* monitor_ = nullptr;
};

}  // namespace

std::unique_ptr<DeviceSystem> MakeUdevSystem() { return std::make_unique<UdevSystem>(); }

}  // namespace pellar
