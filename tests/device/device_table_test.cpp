#include "device/device_table.h"

#include <gtest/gtest.h>

#include "support/sim_bench.h"

namespace pellar {
namespace {

using testing::SimBench;

// A, B and C listed in that order, with two devices that must never show: a zero vendor id and a
// zero product id.
const char* kThreeDevices = R"({"devices":[
  {"manufacturer":"A-maker","product":"A","vid":"0x1a2b","pid":"0x00ff"},
  {"manufacturer":"Zero","product":"ZV","vid":0,"pid":"0x1111"},
  {"manufacturer":"B-maker","product":"B","vid":"0x2222","pid":"0x3333"},
  {"manufacturer":"Zero","product":"ZP","vid":"0x4444","pid":0},
  {"manufacturer":"C-maker","product":"C","vid":4660,"pid":22136}]})";

std::vector<std::string> Products(const DeviceTable& table) {
  std::vector<std::string> names;
  for (const DeviceRow& row : table) names.push_back(row.device_name);
  return names;
}

TEST(ScanDevices, FirstListedOnTopThenTheOthersReversedWithoutZeroIds) {
  SimBench bench(kThreeDevices);
  DeviceTable table = ScanDevices(bench.context().hid);
  EXPECT_EQ(Products(table), (std::vector<std::string>{"A", "C", "B"}));
  EXPECT_EQ(table[0].manufacturer, "A-maker");
  EXPECT_EQ(table[0].vendor_id, "0x1a2b");
  EXPECT_EQ(table[0].product_id, "0x00ff");
  EXPECT_EQ(table[1].vendor_id, "0x1234");
  EXPECT_EQ(table[1].product_id, "0x5678");
  EXPECT_EQ(bench.Ops(), (std::vector<std::string>{"enumerate", "free_enumeration"}));
  EXPECT_TRUE(bench.ui().events().empty());
}

TEST(ScanDevices, EmptyEnumerationGivesAnEmptyTableNoMessageAndIsStillFreed) {
  SimBench bench(R"({"devices":[]})");
  EXPECT_TRUE(ScanDevices(bench.context().hid).empty());
  EXPECT_EQ(bench.Ops(), (std::vector<std::string>{"enumerate", "free_enumeration"}));
  EXPECT_TRUE(bench.ui().events().empty());
}

TEST(DeviceIds, FormatAndParseAsStrtolBase16) {
  EXPECT_EQ(FormatDeviceId(0x1A2B), "0x1a2b");
  EXPECT_EQ(FormatDeviceId(0x00FF), "0x00ff");
  struct Case {
    const char* text;
    std::uint16_t value;
  } cases[] = {{"0x1a2b", 0x1A2B}, {"  0X00FF", 0x00FF}, {"1234", 0x1234}, {"0x12zz", 0x12},
               {"", 0},           {"zz", 0},            {"0x", 0},       {"0x123456", 0x3456},
               {"-0x1", 0xFFFF}};
  for (const Case& c : cases) EXPECT_EQ(ParseDeviceId(c.text), c.value) << '"' << c.text << '"';
}

class OpenSelectedDeviceTest : public ::testing::Test {
 protected:
  // Two devices share a pair: the first listed must always be the one opened.
  SimBench bench{R"({"devices":[
    {"manufacturer":"A","product":"first","vid":"0x1234","pid":"0x5678"},
    {"manufacturer":"B","product":"other","vid":"0x0001","pid":"0x0002"},
    {"manufacturer":"C","product":"twin","vid":"0x1234","pid":"0x5678"}]})"};
  DeviceTable table = ScanDevices(bench.context().hid);  // first, twin, other

  // Opens, then closes what was opened; returns the index of the device that was opened.
  int OpenAndClose(const DeviceSelection& selection) {
    DeviceHandle device = OpenSelectedDevice(bench.context(), table, selection);
    if (device == nullptr) return -1;
    int opened = bench.sim().calls().back().device;
    CloseDevice(bench.context().hid, device);
    return opened;
  }
};

TEST_F(OpenSelectedDeviceTest, NoSelectionShowsItsMessageWithoutAnyHidCall) {
  std::size_t calls_before = bench.sim().calls().size();
  EXPECT_EQ(OpenSelectedDevice(bench.context(), table, DeviceSelection{{}, 1}), nullptr);
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"please select devices!"}));
  EXPECT_EQ(bench.sim().calls().size(), calls_before);
}

TEST_F(OpenSelectedDeviceTest, OpensTheMarkRowEvenWhenOtherRowsAreSelected) {
  ASSERT_EQ(table[2].device_name, "other");
  EXPECT_EQ(OpenAndClose(DeviceSelection{{0, 1}, 2}), 1);
  EXPECT_TRUE(bench.ui().events().empty());
  EXPECT_TRUE(bench.LibraryReleased());
}

// Rows: first (device 0), twin (device 2), other (device 1). A row opens its own device while it is
// listed at the row's path with the row's pair; otherwise the first listed with the pair.
TEST_F(OpenSelectedDeviceTest, TwinRowsOpenTheirOwnDevice) {
  ASSERT_EQ(table[1].device_name, "twin");
  EXPECT_EQ(OpenAndClose(DeviceSelection{{1}, 1}), 2);
  EXPECT_EQ(OpenAndClose(DeviceSelection{{0}, 0}), 0);
  EXPECT_TRUE(bench.LibraryReleased());
}

TEST_F(OpenSelectedDeviceTest, RowsWhoseDeviceIsNotListedAtTheirPathOpenByPair) {
  struct Case {
    const char* name;
    std::string path;
    std::string product_id;
    int opened;
  };
  const Case cases[] = {
      {"no path (a row made by hand)", "", "0x5678", 0},
      {"another unit plugged in since the scan", "sim:9", "0x5678", 0},
      {"the path now holds a device of another pair", "sim:1", "0x5678", 0},
      {"a pair nothing has", "sim:2", "0x9999", -1},
  };
  for (const Case& c : cases) {
    DeviceTable rows{{"C", "twin", c.product_id, "0x1234", c.path}};
    table = rows;
    EXPECT_EQ(OpenAndClose(DeviceSelection{{0}, 0}), c.opened) << c.name;
  }
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"HID open failed!"}));
  EXPECT_TRUE(bench.LibraryReleased());
}

TEST_F(OpenSelectedDeviceTest, InitBeforeOpenThenCloseBeforeExit) {
  OpenAndClose(DeviceSelection{{0}, 0});
  std::vector<std::string> ops = bench.Ops();
  std::vector<std::string> tail(ops.end() - 6, ops.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"init", "enumerate", "free_enumeration", "open",
                                            "close", "exit"}));
}

TEST(OpenSelectedDevice, UnpluggedDeviceGivesHidOpenFailedAndShutsTheLibraryDown) {
  SimBench bench(testing::OneDevice(R"([{"command":"0x2010","answer":"unplug"}])", R"({"SN":"A1"})"));
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  ASSERT_NE(device, nullptr);
  // The device goes away in the middle of an exchange; its row stays until the next scan.
  CommandFrame answer;
  ExchangeFrame(bench.context().hid, bench.context().clock, device,
                BuildFrame(0x2010, 2, 0, nullptr, 0), answer, kFrameSize, 3000);
  CloseDevice(bench.context().hid, device);

  EXPECT_EQ(OpenSelectedDevice(bench.context(), table, {{0}, 0}), nullptr);
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"HID open failed!"}));
  std::vector<std::string> ops = bench.Ops();
  // Not listed at its path any more: the open by pair, which finds nothing either.
  EXPECT_EQ(std::vector<std::string>(ops.end() - 5, ops.end()),
            (std::vector<std::string>{"init", "enumerate", "free_enumeration", "open", "exit"}));
  EXPECT_TRUE(bench.LibraryReleased());
  EXPECT_TRUE(ScanDevices(bench.context().hid).empty());
}

TEST(OpenDevicePath, OpensExactlyThatDeviceOrFailsLikeTheWindow) {
  SimBench bench(R"({"devices":[{"vid":1,"pid":2},{"vid":1,"pid":2,"path":"/dev/hidraw7"}]})");
  DeviceHandle device = OpenDevicePath(bench.context(), "/dev/hidraw7");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(bench.sim().calls().back().device, 1);
  CloseDevice(bench.context().hid, device);
  EXPECT_EQ(OpenDevicePath(bench.context(), "/dev/hidraw9"), nullptr);
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"HID open failed!"}));
  EXPECT_TRUE(bench.LibraryReleased());
}

}  // namespace
}  // namespace pellar
