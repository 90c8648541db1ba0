#include "sim/simulated_hid.h"

#include <gtest/gtest.h>

#include "device/command_codes.h"
#include "device/device_table.h"
#include "support/sim_bench.h"

namespace pellar {
namespace {

using testing::OneDevice;
using testing::SimBench;

// Sends the same request `times` times and describes each answer: "ok", "status 5",
// "echo 0x2011", "none" (timed out), "fail" (the read failed).
std::vector<std::string> Exchanges(SimBench& bench, std::uint16_t command, int times) {
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  std::vector<std::string> outcomes;
  for (int i = 0; i < times; ++i) {
    double before = bench.NowMs();
    CommandFrame answer;
    bool arrived = device != nullptr &&
                   ExchangeFrame(bench.context().hid, bench.context().clock, device,
                                 BuildFrame(command, 2, 0, nullptr, 0), answer, kFrameSize, 3000);
    if (!arrived) {
      outcomes.push_back(bench.NowMs() - before == 3000 ? "none" : "fail");
    } else if (answer.command() != command) {
      outcomes.push_back("echo " + FormatDeviceId(answer.command()));
    } else {
      outcomes.push_back(answer.status() == 0 ? "ok" : "status " + std::to_string(answer.status()));
    }
  }
  if (device != nullptr) CloseDevice(bench.context().hid, device);
  return outcomes;
}

struct RuleCase {
  std::string name;
  std::string rules;
  std::vector<std::string> outcomes;
};

void PrintTo(const RuleCase& c, std::ostream* out) { *out << c.name; }

class SimRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(SimRuleTest, ChangesTheChosenRequests) {
  SimBench bench(OneDevice(GetParam().rules));
  EXPECT_EQ(Exchanges(bench, CMD_OTA_STATUS, 4), GetParam().outcomes);
  EXPECT_TRUE(bench.LibraryReleased());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SimRuleTest,
    ::testing::Values(
        RuleCase{"NoRuleAccepts", "[]", {"ok", "ok", "ok", "ok"}},
        RuleCase{"RefuseAfterOneForTwo", R"([{"command":"0x3300","answer":"refuse","status":5,"after":1,"count":2}])",
                 {"ok", "status 5", "status 5", "ok"}},
        RuleCase{"SilentFromTheThirdOn", R"([{"command":13056,"answer":"silent","after":2}])",
                 {"ok", "ok", "none", "none"}},
        RuleCase{"EchoAnother", R"([{"command":"0x3300","answer":"echo","echo":"0x2011","count":1}])",
                 {"echo 0x2011", "ok", "ok", "ok"}},
        RuleCase{"FailOnce", R"([{"command":"0x3300","answer":"fail","after":3,"count":1}])",
                 {"ok", "ok", "ok", "fail"}},
        RuleCase{"UnplugEndsEverything", R"([{"command":"0x3300","answer":"unplug","after":1}])",
                 {"ok", "fail", "fail", "fail"}},
        RuleCase{"OtherCommandsUntouched", R"([{"command":"0x3000","answer":"silent"}])",
                 {"ok", "ok", "ok", "ok"}},
        RuleCase{"FirstApplyingRuleWins",
                 R"([{"command":"0x3300","answer":"refuse","status":1,"count":1},
                     {"command":"0x3300","answer":"refuse","status":2,"count":3}])",
                 {"status 1", "status 2", "status 2", "ok"}}),
    [](const auto& info) { return info.param.name; });

TEST(SimulatedHid, ReadsAndWritesIdentityFields) {
  SimBench bench(OneDevice("[]", R"({"SN":"A001","Version":"1.0.3"})"));
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  const std::uint8_t text[] = {'B', '2'};
  CommandFrame answer;
  ExchangeFrame(bench.context().hid, bench.context().clock, device,
                BuildFrame(CMD_WRITE_SN, 2, 0, text, 2), answer, kFrameSize, 1000);
  ExchangeFrame(bench.context().hid, bench.context().clock, device,
                BuildFrame(CMD_READ_SN, 2, 0, nullptr, 0), answer, kFrameSize, 3000);
  CloseDevice(bench.context().hid, device);
  EXPECT_EQ(answer.command(), CMD_READ_SN);
  EXPECT_EQ(answer.length(), 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(answer.payload())), "B2");
  EXPECT_EQ(bench.sim().Field(0, "SN"), "B2");
  EXPECT_EQ(bench.sim().Field(0, "Version"), "1.0.3");
}

TEST(SimulatedHid, ReplyRuleCraftsTheAnswer) {
  SimBench bench(OneDevice(R"([{"command":"0x2010","answer":"reply","length":3,"payload":"ABCDEF"}])"));
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  CommandFrame answer;
  ExchangeFrame(bench.context().hid, bench.context().clock, device,
                BuildFrame(CMD_READ_SN, 2, 0, nullptr, 0), answer, kFrameSize, 3000);
  CloseDevice(bench.context().hid, device);
  EXPECT_EQ(answer.length(), 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(answer.payload())), "ABCDEF");
}

TEST(SimulatedHid, ReassemblesAFileAndIgnoresARepeatedPacket) {
  SimBench bench(OneDevice(R"([{"command":"0x3200","answer":"refuse","status":1,"after":1,"count":1}])"));
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  auto send = [&](std::uint16_t command, std::uint8_t flag, std::uint32_t number, const std::string& payload) {
    CommandFrame answer;
    ExchangeFrame(bench.context().hid, bench.context().clock, device,
                  BuildFrame(command, flag, number, reinterpret_cast<const std::uint8_t*>(payload.data()),
                             payload.size()),
                  answer, kFrameSize, 3000);
  };
  send(CMD_OTA_START, 0, 0, "");
  send(CMD_OTA_FILETYPE, 2, 1, "fw.bin");
  send(CMD_OTA_PACK, 1, 1, "hello ");
  send(CMD_OTA_PACK, 2, 2, "world");  // refused, not stored
  send(CMD_OTA_PACK, 2, 2, "world");
  send(CMD_OTA_PACK, 2, 2, "world");  // a repeat of an accepted packet is not stored twice
  send(CMD_OTA_STATUS, 0, 0, "");
  CloseDevice(bench.context().hid, device);
  ASSERT_EQ(bench.sim().ReceivedFiles(0).size(), 1U);
  const ReceivedFile& file = bench.sim().ReceivedFiles(0)[0];
  EXPECT_EQ(file.device_name, "fw.bin");
  EXPECT_EQ(file.data, "hello world");
  EXPECT_TRUE(file.complete);
}

TEST(CheckRequest, CountsMalformedRequestsAndTellsWhatIsWrong) {
  CommandFrame good = BuildFrame(CMD_WRITE_SN, 2, 0, reinterpret_cast<const std::uint8_t*>("abc"), 3);
  struct Case {
    const char* problem;
    std::size_t at;
    std::uint8_t value;
  } cases[] = {{"report id is not 1", 0, 2},      {"bad magic", 2, 0x5B},
               {"length over 1010", 7, 0x04},      {"bad checksum", 12, 0},
               {"no zero fill after the payload", 500, 1}};
  std::string problem;
  EXPECT_TRUE(CheckRequest(good.bytes.data(), kFrameSize, &problem));
  EXPECT_FALSE(CheckRequest(good.bytes.data(), 64, &problem));
  EXPECT_EQ(problem, "not 1024 bytes");
  for (const Case& c : cases) {
    CommandFrame bad = good;
    bad.bytes[c.at] = c.value;
    EXPECT_FALSE(CheckRequest(bad.bytes.data(), kFrameSize, &problem)) << c.problem;
    EXPECT_EQ(problem, c.problem);
  }

  SimBench bench(OneDevice());
  DeviceTable table = ScanDevices(bench.context().hid);
  DeviceHandle device = OpenSelectedDevice(bench.context(), table, {{0}, 0});
  CommandFrame bad = good;
  bad.bytes[500] = 1;
  CommandFrame answer;
  EXPECT_FALSE(ExchangeFrame(bench.context().hid, bench.context().clock, device, bad, answer, kFrameSize, 1000));
  CloseDevice(bench.context().hid, device);
  EXPECT_EQ(bench.sim().MalformedRequests(0), 1);
  EXPECT_TRUE(bench.sim().Requests(0).empty());
}

TEST(SimConfig, RefusesWhatItCannotUseAndSaysWhy) {
  struct Case {
    const char* json;
    const char* error_part;
  } cases[] = {
      {"{", "bad JSON"},
      {R"({"device":[]})", "\"devices\" array"},
      {R"({"devices":[{"vid":"0x12g4"}]})", "devices[0].vid: bad number \"0x12g4\""},
      {R"({"devices":[{"vid":70000}]})", "devices[0].vid: number 70000 too large"},
      {R"({"devices":[{"rules":[{"command":1,"answer":"shout"}]}]})", "unknown answer kind \"shout\""},
      {R"({"devices":[{"rules":[{"command":1,"answer":"echo"}]}]})", "needs \"echo\""},
      {R"({"devices":[{"rules":[{"answer":"silent"}]}]})", "devices[0].rules[0]: no \"command\""},
      {R"({"devices":[{"fields":{"SN":5}}]})", "devices[0].fields.SN: expected a text"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseSimConfig(c.json, &error)) << c.json;
    EXPECT_NE(error.find(c.error_part), std::string::npos) << error;
  }
  std::string error;
  EXPECT_FALSE(LoadSimConfig("/nonexistent/devices.json", &error));
  EXPECT_EQ(error, "simulated-device file \"/nonexistent/devices.json\": cannot be read: No such file or directory");
}

}  // namespace
}  // namespace pellar
