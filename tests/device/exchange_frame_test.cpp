#include <gtest/gtest.h>

#include "device/command_codes.h"
#include "device/command_frame.h"
#include "device/device_table.h"
#include "support/sim_bench.h"

namespace pellar {
namespace {

using testing::OneDevice;
using testing::SimBench;

struct ExchangeCase {
  std::string name;
  std::string rules;
  bool arrived;
  std::uint16_t command;
  std::uint32_t status;
};

void PrintTo(const ExchangeCase& c, std::ostream* out) { *out << c.name; }

class ExchangeFrameTest : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(ExchangeFrameTest, JudgesWhetherAnAnswerArrived) {
  const ExchangeCase& c = GetParam();
  SimBench bench(OneDevice(c.rules));
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  ASSERT_NE(device, nullptr);

  CommandFrame answer;
  answer.bytes.fill(0xEE);  // whatever was there must not pass for an answer
  bool arrived = ExchangeFrame(bench.context().hid, bench.context().clock, device,
                               BuildFrame(CMD_OTA_STATUS, 0, 0, nullptr, 0), answer, kFrameSize, 3000);
  CloseDevice(bench.context().hid, device);

  EXPECT_EQ(arrived, c.arrived);
  EXPECT_EQ(answer.command(), c.command);
  EXPECT_EQ(answer.status(), c.status);
  EXPECT_TRUE(bench.LibraryReleased());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ExchangeFrameTest,
    ::testing::Values(
        ExchangeCase{"Accepted", "[]", true, CMD_OTA_STATUS, 0},
        ExchangeCase{"Refused", R"([{"command":"0x3300","answer":"refuse","status":5}])", true, CMD_OTA_STATUS, 5},
        ExchangeCase{"TimeoutReadsAsZeroHeader", R"([{"command":"0x3300","answer":"silent"}])", false, 0, 0},
        ExchangeCase{"FailedReadIsNoAnswer", R"([{"command":"0x3300","answer":"fail"}])", false, 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ExchangeFrame, WritesTheWholeReportPausesThenReadsWithTheGivenSizeAndTimeout) {
  SimBench bench(OneDevice(R"([{"command":"0x3000","answer":"silent"}])"));
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  CommandFrame answer;
  CommandFrame request = BuildFrame(CMD_OTA_START, 0, 0, nullptr, 0);
  EXPECT_TRUE(ExchangeFrame(bench.context().hid, bench.context().clock, device,
                            BuildFrame(CMD_OTA_PACK, 2, 1, nullptr, 0), answer, kFrameSize, 3000, 5));
  EXPECT_FALSE(ExchangeFrame(bench.context().hid, bench.context().clock, device, request, answer,
                             kHeaderSize, 1000));
  CloseDevice(bench.context().hid, device);

  EXPECT_EQ(bench.Waits(), (std::vector<std::string>{"sleep 5", "read 1024/3000 -> 1024",
                                                     "read 14/1000 -> 0"}));
  EXPECT_EQ(bench.NowMs(), 1005);
  EXPECT_EQ(bench.trace()[bench.trace().size() - 4]["len"], 1024);
  EXPECT_EQ(bench.Requests().back().bytes, request.bytes);
  EXPECT_EQ(bench.sim().MalformedRequests(0), 0);
}

}  // namespace
}  // namespace pellar
