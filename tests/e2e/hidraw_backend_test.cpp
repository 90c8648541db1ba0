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
#include <map>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/command_codes.h"
#include "device/command_frame.h"
#include "device/device_table.h"
#include "device/hidapi_backend.h"
#include "device/text_codec.h"
#include "station/station.h"
#include "support/temp_dir.h"
#include "support/recording_operator.h"

namespace pellar {
namespace {

constexpr std::uint16_t kVendorId = 0x1234;
constexpr std::uint16_t kProductId = 0x00ab;
const char* const kDevNode = "/dev/hidraw0";  // the first emulated device

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

// Where one emulated device sits. The /dev node is a link to a character device of the host, and
// the sysfs entry carries that device's number: umockdev fakes stat() but not fstat(), and hidapi's
// string look-ups on an open device fstat() it, which then still leads back to this entry. Each
// device needs a number of its own. The USB device's sysfs name is its port.
struct EmulatedPlace {
  const char* node;
  const char* port;
  const char* linked_to;
  const char* major;
  const char* minor;
  const char* serial;
};
const EmulatedPlace kPlaces[] = {
    {"/dev/hidraw0", "1-2", "/dev/null", "1", "3", "A001"},
    {"/dev/hidraw1", "1-3", "/dev/zero", "1", "5", "A002"},
};

// One emulated USB HID device with its hidraw node, answering each report with an echo of its
// command, status 0 and "pong". The handler runs on umockdev's worker thread while the test's
// thread sits in hidapi's write or read, hence the lock.
class EmulatedHidraw {
 public:
  EmulatedHidraw(UMockdevTestbed* testbed, const EmulatedPlace& place)
      : testbed_(testbed), place_(place), handler_(umockdev_ioctl_base_new()) {
    AddDevices();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedHidraw::OnIoctl), this);
    g_signal_connect(handler_, "handle-write", G_CALLBACK(&EmulatedHidraw::OnWrite), this);
    g_signal_connect(handler_, "handle-read", G_CALLBACK(&EmulatedHidraw::OnRead), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, place_.node, handler_, &error)) {
      ADD_FAILURE() << "attaching the handler failed: " << error->message;
      g_error_free(error);
    }
  }
  ~EmulatedHidraw() {
    umockdev_testbed_detach_ioctl(testbed_, place_.node, nullptr);
    g_object_unref(handler_);
  }
  EmulatedHidraw(const EmulatedHidraw&) = delete;
  EmulatedHidraw& operator=(const EmulatedHidraw&) = delete;

  // The device stays silent instead of answering each report.
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
    const std::string interface_name = std::string(place_.port) + ":1.0";
    const std::string hidraw_name = std::filesystem::path(place_.node).filename().string();
    const std::string dev = std::string(place_.major) + ":" + place_.minor;
    gchar* usb = umockdev_testbed_add_device(
        testbed_, "usb", place_.port, nullptr,
        // attributes
        "idVendor", "1234", "idProduct", "00ab", "bcdDevice", "0100", "manufacturer", "Acme",
        "product", "Cam", nullptr,
        // properties
        "DEVTYPE", "usb_device", nullptr);
    gchar* interface = umockdev_testbed_add_device(testbed_, "usb", interface_name.c_str(), usb,
                                                   "bInterfaceNumber", "00", nullptr,
                                                   "DEVTYPE", "usb_interface", nullptr);
    const std::string hid_name = std::string("0003:1234:00AB.000") + place_.minor;
    gchar* hid = umockdev_testbed_add_device(
        testbed_, "hid", hid_name.c_str(), interface, nullptr,
        "HID_ID", "0003:00001234:000000AB", "HID_NAME", "Acme Cam", "HID_UNIQ", place_.serial, nullptr);
    umockdev_testbed_set_attribute_binary(testbed_, hid, "report_descriptor",
                                          const_cast<std::uint8_t*>(kReportDescriptor),
                                          sizeof kReportDescriptor);
    gchar* hidraw = umockdev_testbed_add_device(testbed_, "hidraw", hidraw_name.c_str(), hid, "dev",
                                                dev.c_str(), nullptr, "DEVNAME", place_.node,
                                                "MAJOR", place_.major, "MINOR", place_.minor, nullptr);
    umockdev_testbed_set_attribute_link(testbed_, hidraw, "device", "..");
    MakeDevNode();
    g_free(hidraw);
    g_free(hid);
    g_free(interface);
    g_free(usb);
  }

  // umockdev does not make the /dev node. Its preload library hands every read, write and ioctl on
  // the node to the handler, so nothing ever reaches the linked device itself.
  void MakeDevNode() {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    std::filesystem::path node = std::filesystem::path(root) / (place_.node + 1);
    g_free(root);
    std::filesystem::create_directories(node.parent_path());
    std::error_code error;
    std::filesystem::create_symlink(place_.linked_to, node, error);
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
    static_cast<EmulatedHidraw*>(self)->Receive(report);
    umockdev_ioctl_client_complete(client, data->data_len, 0);
    return TRUE;
  }

  static gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    UMockdevIoctlData* data = umockdev_ioctl_client_get_arg(client);
    std::vector<std::uint8_t> answer = static_cast<EmulatedHidraw*>(self)->NextAnswer();
    if (answer.empty()) {
      umockdev_ioctl_client_complete(client, -1, EAGAIN);
      return TRUE;
    }
    std::size_t count = std::min(answer.size(), static_cast<std::size_t>(data->data_len));
    std::memcpy(data->data, answer.data(), count);
    umockdev_ioctl_client_complete(client, static_cast<glong>(count), 0);
    return TRUE;
  }

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
  EmulatedPlace place_;
  UMockdevIoctlBase* handler_;
  std::mutex mutex_;
  bool silent_ = false;
  std::vector<std::vector<std::uint8_t>> received_;
  std::deque<std::vector<std::uint8_t>> answers_;
};

// The emulated sysfs tree and /dev with `count` devices of the same pair, each in its own port.
class HidrawTestbed {
 public:
  explicit HidrawTestbed(std::size_t count = 1) : testbed_(umockdev_testbed_new()) {
    for (std::size_t i = 0; i < count && i < std::size(kPlaces); ++i)
      devices_.push_back(std::make_unique<EmulatedHidraw>(testbed_, kPlaces[i]));
  }
  ~HidrawTestbed() {
    devices_.clear();
    g_object_unref(testbed_);
  }
  HidrawTestbed(const HidrawTestbed&) = delete;
  HidrawTestbed& operator=(const HidrawTestbed&) = delete;

  EmulatedHidraw& device(std::size_t index = 0) { return *devices_.at(index); }
  void SetSilent(bool silent) { device().SetSilent(silent); }
  std::vector<std::vector<std::uint8_t>> Received() { return device().Received(); }

 private:
  UMockdevTestbed* testbed_;
  std::vector<std::unique_ptr<EmulatedHidraw>> devices_;
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

// Two devices of one pair at once, each flashed by the station on its own handle, each known by
// the port libudev finds for its node.
TEST(HidrawStationTest, FlashesTwoDevicesAtOnceEachByItsPort) {
  const char* preload = std::getenv("LD_PRELOAD");
  ASSERT_TRUE(preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr);
  HidrawTestbed testbed(2);
  testing::TempDir folder;
  folder.Write("fw.bin", std::string(1500, 'x'));
  const std::string list =
      folder.Write("list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw.bin\nDevicefilePath=fw.bin\n");
  TextCodec codec = TextCodec::Utf8();
  std::vector<std::string> problems;
  std::optional<LoadedUpdate> update = LoadUpdate(list, codec, folder.path().string() + "/", &problems);
  ASSERT_TRUE(update);

  std::unique_ptr<HidApi> hid = MakeHidapiBackend();
  std::unique_ptr<DeviceSystem> system = MakeUdevSystem();
  std::unique_ptr<Clock> clock = MakeRealClock();
  StationOptions options;
  options.match = {0x1234, 0x00ab};
  options.record_path = folder.Path("record.jsonl");
  Station station({*hid, *clock, *system, codec}, std::make_shared<const LoadedUpdate>(std::move(*update)),
                  options);
  std::string error;
  ASSERT_TRUE(station.Begin(&error)) << error;
  station.Rescan();
  std::map<std::string, std::string> ports;
  for (const UnitSnapshot& unit : station.Snapshot()) ports[unit.path] = unit.port;
  ASSERT_EQ(ports, (std::map<std::string, std::string>{{"/dev/hidraw0", "1-2"}, {"/dev/hidraw1", "1-3"}}))
      << kBrokenWorkaround;
  EXPECT_EQ(station.StartIdle(), 2);
  station.WaitUntilIdle();
  for (const UnitSnapshot& unit : station.Snapshot()) EXPECT_EQ(unit.state, UnitState::kPassed) << unit.port;
  station.End();

  // start, file type, two data packets, status: each device had its own whole conversation.
  for (std::size_t i = 0; i < 2; ++i) {
    std::vector<std::uint16_t> commands;
    for (const auto& report : testbed.device(i).Received())
      commands.push_back(static_cast<std::uint16_t>(report[3] | report[4] << 8));
    EXPECT_EQ(commands, (std::vector<std::uint16_t>{CMD_OTA_START, CMD_OTA_FILETYPE, CMD_OTA_PACK,
                                                    CMD_OTA_PACK, CMD_OTA_STATUS}))
        << i;
  }
}

}  // namespace
}  // namespace pellar
