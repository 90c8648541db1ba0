// The real hidapi backend, end to end, against a hidraw device that umockdev emulates: the sysfs
// tree and /dev node are faked by its preload library, and a handler in this program plays the
// device, answering every report. No hardware, kernel module or root is needed.
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/command_codes.h"
#include "device/command_frame.h"
#include "device/device_table.h"
#include "device/hidapi_backend.h"
#include "device/text_codec.h"
#include "support/recording_operator.h"

namespace pellar {
namespace {

constexpr std::uint16_t kVendorId = 0x1234;
constexpr std::uint16_t kProductId = 0x00ab;
const char* const kDevNode = "/dev/hidraw0";

const char* const kBrokenWorkaround =
    "the umockdev/hidapi workaround stopped working: the emulated hidraw device is not enumerated "
    "(see the hidraw emulation note: HID_UNIQ in the hid uevent, the hand-made /dev node linked to "
    "/dev/null, device number 1:3, the usb_device ancestor)";

// Vendor page, report id 1, 1023 data bytes each way: 1024-byte reports with the id in front.
const std::uint8_t kReportDescriptor[] = {
    0x06, 0x00, 0xFF,  // usage page (vendor 0xFF00)
    0x09, 0x01,        // usage 1
    0xA1, 0x01,        // collection (application)
    0x85, 0x01,        //   report id 1
    0x15, 0x00,        //   logical minimum 0
    0x26, 0xFF, 0x00,  //   logical maximum 255
    0x75, 0x08,        //   report size 8
    0x96, 0xFF, 0x03,  //   report count 1023
    0x09, 0x01,        //   usage 1
    0x81, 0x02,        //   input (data, variable, absolute)
    0x96, 0xFF, 0x03,  //   report count 1023
    0x09, 0x01,        //   usage 1
    0x91, 0x02,        //   output (data, variable, absolute)
    0xC0,              // end collection
};

// One emulated USB HID device with its hidraw node. The handler runs on umockdev's worker thread
// while the test's thread sits in hidapi's write or read, hence the lock.
class HidrawTestbed {
 public:
  HidrawTestbed() : testbed_(umockdev_testbed_new()), handler_(umockdev_ioctl_base_new()) {
    AddDevices();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&HidrawTestbed::OnIoctl), this);
    g_signal_connect(handler_, "handle-write", G_CALLBACK(&HidrawTestbed::OnWrite), this);
    g_signal_connect(handler_, "handle-read", G_CALLBACK(&HidrawTestbed::OnRead), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, kDevNode, handler_, &error)) {
      ADD_FAILURE() << "attaching the handler failed: " << error->message;
      g_error_free(error);
    }
  }
  ~HidrawTestbed() {
    umockdev_testbed_detach_ioctl(testbed_, kDevNode, nullptr);
    g_object_unref(handler_);
    g_object_unref(testbed_);
  }
  HidrawTestbed(const HidrawTestbed&) = delete;
  HidrawTestbed& operator=(const HidrawTestbed&) = delete;

  // The device stays silent instead of answering each report with an echo of its command.
  void SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
  }
  std::vector<std::vector<std::uint8_t>> Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  void AddDevices() {
    gchar* usb = umockdev_testbed_add_device(
        testbed_, "usb", "usb1", nullptr,
        // attributes
        "idVendor", "1234", "idProduct", "00ab", "bcdDevice", "0100", "manufacturer", "Acme",
        "product", "Cam", nullptr,
        // properties
        "DEVTYPE", "usb_device", nullptr);
    gchar* interface = umockdev_testbed_add_device(testbed_, "usb", "usb1-1:1.0", usb,
                                                   "bInterfaceNumber", "00", nullptr,
                                                   "DEVTYPE", "usb_interface", nullptr);
    gchar* hid = umockdev_testbed_add_device(
        testbed_, "hid", "0003:1234:00AB.0001", interface, nullptr,
        "HID_ID", "0003:00001234:000000AB", "HID_NAME", "Acme Cam", "HID_UNIQ", "A001", nullptr);
    umockdev_testbed_set_attribute_binary(testbed_, hid, "report_descriptor",
                                          const_cast<std::uint8_t*>(kReportDescriptor),
                                          sizeof kReportDescriptor);
    // The /dev node is a link to /dev/null (see MakeDevNode), so the entry carries /dev/null's
    // number 1:3: umockdev fakes stat() but not fstat(), and hidapi's string look-ups on an open
    // device fstat() it, which then still leads back to this entry.
    gchar* hidraw = umockdev_testbed_add_device(testbed_, "hidraw", "hidraw0", hid, "dev", "1:3",
                                                nullptr, "DEVNAME", kDevNode, "MAJOR", "1",
                                                "MINOR", "3", nullptr);
    umockdev_testbed_set_attribute_link(testbed_, hidraw, "device", "..");
    MakeDevNode();
    g_free(hidraw);
    g_free(hid);
    g_free(interface);
    g_free(usb);
  }

  // umockdev does not make the /dev node. Its preload library hands every read, write and ioctl on
  // the node to the handler, so nothing ever reaches /dev/null itself.
  void MakeDevNode() {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    std::filesystem::path node = std::filesystem::path(root) / (kDevNode + 1);
    g_free(root);
    std::filesystem::create_directories(node.parent_path());
    std::error_code error;
    std::filesystem::create_symlink("/dev/null", node, error);
    if (error) ADD_FAILURE() << "cannot make " << node << ": " << error.message();
  }

  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer) {
    if (umockdev_ioctl_client_get_request(client) != HIDIOCGRDESCSIZE) return FALSE;
    UMockdevIoctlData* size =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(int), nullptr);
    if (size == nullptr) {
      umockdev_ioctl_client_complete(client, -1, EFAULT);
      return TRUE;
    }
    int value = sizeof kReportDescriptor;
    std::memcpy(size->data, &value, sizeof value);
    umockdev_ioctl_client_complete(client, 0, 0);  // copies the resolved value back to the caller
    g_object_unref(size);
    return TRUE;
  }

  static gboolean OnWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    UMockdevIoctlData* data = umockdev_ioctl_client_get_arg(client);
    std::vector<std::uint8_t> report(data->data, data->data + data->data_len);
    static_cast<HidrawTestbed*>(self)->Receive(report);
    umockdev_ioctl_client_complete(client, data->data_len, 0);
    return TRUE;
  }

  static gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    UMockdevIoctlData* data = umockdev_ioctl_client_get_arg(client);
    std::vector<std::uint8_t> answer = static_cast<HidrawTestbed*>(self)->NextAnswer();
    if (answer.empty()) {
      umockdev_ioctl_client_complete(client, -1, EAGAIN);
      return TRUE;
    }
    std::size_t count = std::min(answer.size(), static_cast<std::size_t>(data->data_len));
    std::memcpy(data->data, answer.data(), count);
    umockdev_ioctl_client_complete(client, static_cast<glong>(count), 0);
    return TRUE;
  }

  // Answers with the request's command, status 0 and "pong" as payload.
  void Receive(const std::vector<std::uint8_t>& report) {
    std::lock_guard lock(mutex_);
    received_.push_back(report);
    if (silent_ || report.size() < kHeaderSize) return;
    std::uint16_t command = static_cast<std::uint16_t>(report[3] | report[4] << 8);
    const std::uint8_t payload[] = {'p', 'o', 'n', 'g'};
    CommandFrame answer = BuildFrame(command, report[5], 0, payload, sizeof payload);
    answers_.emplace_back(answer.bytes.begin(), answer.bytes.end());
  }

  std::vector<std::uint8_t> NextAnswer() {
    std::lock_guard lock(mutex_);
    if (answers_.empty()) return {};
    std::vector<std::uint8_t> answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
  }

  UMockdevTestbed* testbed_;
  UMockdevIoctlBase* handler_;
  std::mutex mutex_;
  bool silent_ = false;
  std::vector<std::vector<std::uint8_t>> received_;
  std::deque<std::vector<std::uint8_t>> answers_;
};

class HidrawBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* preload = std::getenv("LD_PRELOAD");
    ASSERT_TRUE(preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr)
        << "run this program under umockdev-wrapper (ctest does): without its preload library the "
           "real system's devices would be used";
    device_ = std::make_unique<HidrawTestbed>();
  }

  DeviceTable Scan() { return ScanDevices(*hid_); }

  std::unique_ptr<HidrawTestbed> device_;
  std::unique_ptr<HidApi> hid_ = MakeHidapiBackend();
  VirtualClock clock_;
  testing::RecordingOperator ui_;
  TextCodec codec_ = TextCodec::Utf8();
  DeviceContext context_{*hid_, clock_, ui_, codec_};
};

TEST_F(HidrawBackendTest, EmulatedDeviceIsEnumerated) {
  HidDeviceInfo* devices = hid_->Enumerate(0, 0);
  bool found = false;
  for (HidDeviceInfo* entry = devices; entry != nullptr; entry = entry->next)
    found = found || entry->path == kDevNode;
  hid_->FreeEnumeration(devices);
  ASSERT_TRUE(found) << kBrokenWorkaround;
}

TEST_F(HidrawBackendTest, ScanListsTheDeviceWithItsStringsAndIds) {
  DeviceTable table = Scan();
  ASSERT_EQ(table.size(), 1U) << kBrokenWorkaround;
  EXPECT_EQ(table[0].manufacturer, "Acme");
  EXPECT_EQ(table[0].device_name, "Cam");
  EXPECT_EQ(table[0].product_id, "0x00ab");
  EXPECT_EQ(table[0].vendor_id, "0x1234");
}

TEST_F(HidrawBackendTest, ExchangeCarriesTheWholeReportAndItsAnswer) {
  DeviceTable table = Scan();
  ASSERT_EQ(table.size(), 1U) << kBrokenWorkaround;
  DeviceHandle device = OpenSelectedDevice(context_, table, DeviceSelection{{0}, 0});
  ASSERT_NE(device, nullptr) << "messages: " << ::testing::PrintToString(ui_.messages());

  const std::uint8_t serial[] = {'A', '0', '0', '1'};
  CommandFrame request = BuildFrame(CMD_WRITE_SN, kFlagComplete, 7, serial, sizeof serial);
  CommandFrame answer;
  bool answered = ExchangeFrame(*hid_, clock_, device, request, answer, kFrameSize, 1000);
  CloseDevice(*hid_, device);

  std::vector<std::vector<std::uint8_t>> received = device_->Received();
  ASSERT_EQ(received.size(), 1U);
  EXPECT_EQ(received[0], std::vector<std::uint8_t>(request.bytes.begin(), request.bytes.end()));
  ASSERT_TRUE(answered);
  EXPECT_EQ(answer.bytes[0], 0x01);
  EXPECT_EQ(answer.command(), CMD_WRITE_SN);
  EXPECT_EQ(answer.status(), 0U);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(answer.payload()), answer.length()), "pong");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(HidrawBackendTest, ReadWithNothingQueuedIsNoAnswer) {
  device_->SetSilent(true);
  DeviceTable table = Scan();
  ASSERT_EQ(table.size(), 1U) << kBrokenWorkaround;
  DeviceHandle device = OpenSelectedDevice(context_, table, DeviceSelection{{0}, 0});
  ASSERT_NE(device, nullptr);
  CommandFrame request = BuildFrame(CMD_READ_VERSION, kFlagComplete, 0, nullptr, 0);
  CommandFrame answer;
  answer.bytes.fill(0xEE);
  EXPECT_FALSE(ExchangeFrame(*hid_, clock_, device, request, answer, kFrameSize, 100));
  CloseDevice(*hid_, device);
  EXPECT_EQ(answer.command(), 0);
  EXPECT_EQ(device_->Received().size(), 1U);
}

TEST_F(HidrawBackendTest, OpeningAnAbsentPairFails) {
  DeviceTable table{{"Nobody", "Nothing", "0x0002", "0x0001"}};
  EXPECT_EQ(OpenSelectedDevice(context_, table, DeviceSelection{{0}, 0}), nullptr);
  EXPECT_EQ(ui_.messages(), std::vector<std::string>{"HID open failed!"});
}

}  // namespace
}  // namespace pellar
