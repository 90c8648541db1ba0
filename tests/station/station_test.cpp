#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "station/station.h"
#include "support/sim_bench.h"
#include "support/temp_dir.h"
#include "support/json_lines.h"
#include "update/update_files.h"
#include "update/update_run.h"

namespace pellar::testing {
namespace {

using Lines = std::vector<std::string>;

// A device of the station's pair, with its own path, port and rules.
std::string Device(int number, const std::string& extra = "") {
  return R"({"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:)" +
         std::to_string(number) + R"(","port":"1-1.)" + std::to_string(number) + "\"" + extra + "}";
}
std::string Devices(const Lines& devices) {
  std::string text = R"({"devices":[)";
  for (std::size_t i = 0; i < devices.size(); ++i) text += (i > 0 ? "," : "") + devices[i];
  return text + "]}";
}

// What a unit's conversation was, from the trace: every call and wait of that device, in order.
Lines ConversationOf(const SimBench& bench, const std::string& device) {
  Lines lines;
  for (const auto& entry : bench.trace()) {
    const std::string op = entry["op"];
    if (op == "init" || op == "exit" || op == "enumerate" || op == "free_enumeration") continue;
    if (!device.empty() && entry.value("device", "") != device) continue;
    nlohmann::ordered_json copy = entry;
    copy.erase("t");
    copy.erase("device");
    if (op == "open") copy = {{"op", "open"}};  // by path in the station, by pair alone
    lines.push_back(copy.dump());
  }
  return lines;
}

class StationTest : public ::testing::Test {
 protected:
  StationTest() {
    firmware_ = PatternBytes(2500, 7);
    folder_.Write("fw/app.bin", firmware_);
    folder_.Write("fw/res.bin", PatternBytes(700, 3));
    list_ = folder_.Write("list.txt",
                          "[Update_Info]\nfile_num=2\n[file1]\nfilename=fw/app.bin\nDevicefilePath=app.bin\n"
                          "[file2]\nfilename=fw/res.bin\nDevicefilePath=res.lzma\n");
  }

  std::unique_ptr<Station> MakeStation(SimBench& bench, StationObserver* observer = nullptr) {
    std::vector<std::string> problems;
    std::optional<LoadedUpdate> update =
        LoadUpdate(list_, bench.context().codec, Slashed(folder_), &problems);
    EXPECT_TRUE(update) << (problems.empty() ? "" : problems.front());
    StationOptions options;
    options.match = {0x1234, 0x5678};
    options.record_path = folder_.Path("record.jsonl");
    options.reads.push_back(FindDeviceField("sn"));
    auto station = std::make_unique<Station>(
        StationParts{bench.context().hid, bench.context().clock, bench.sim(), bench.context().codec},
        std::make_shared<const LoadedUpdate>(std::move(*update)), options, observer);
    std::string error;
    EXPECT_TRUE(station->Begin(&error)) << error;
    return station;
  }

  // The same list sent by a single update to one device of the same rules.
  Lines SingleUpdateConversation(const std::string& device_json, const std::string& path) {
    SimBench single(Devices({device_json}));
    DeviceContext& context = single.context();
    UpdateRunOptions options;
    options.executable_dir = Slashed(folder_);
    UpdateRun(context, [&context, &path] { return OpenDevicePath(context, path); }, list_, options);
    return ConversationOf(single, "");
  }

  TempDir folder_;
  std::string firmware_;
  std::string list_;
};

TEST_F(StationTest, UnitsRunAtOnceEachAsASingleUpdateWouldAndOneFailureEndsOnlyItsUnit) {
  const std::string refusing = R"(,"rules":[{"command":"0x3300","answer":"refuse","status":3}])";
  const std::string unplugged = R"(,"rules":[{"command":"0x3200","answer":"unplug","after":1,"count":1}])";
  const Lines devices = {Device(0, R"(,"fields":{"SN":"A1"})"), Device(1, refusing), Device(2, unplugged)};
  SimBench bench(Devices(devices));
  auto station = MakeStation(bench);
  station->Rescan();
  EXPECT_EQ(station->StartIdle(), 3);
  station->WaitUntilIdle();
  std::map<std::string, UnitState> states;
  for (const UnitSnapshot& unit : station->Snapshot()) states[unit.port] = unit.state;
  EXPECT_EQ(states, (std::map<std::string, UnitState>{
                        {"1-1.0", UnitState::kPassed}, {"1-1.1", UnitState::kFailed}, {"1-1.2", UnitState::kFailed}}));
  station->End();

  // Three updates of about 5 packets and an 8 s pause each took the time of one.
  EXPECT_LT(bench.NowMs(), 9000);
  EXPECT_EQ(bench.sim().ReceivedFiles(0).at(0).data, firmware_);
  for (int device = 0; device < 3; ++device) {
    SCOPED_TRACE(device);
    const std::string path = "sim:" + std::to_string(device);
    Lines single = SingleUpdateConversation(devices[static_cast<std::size_t>(device)], path);
    Lines unit = ConversationOf(bench, path);
    // The unit's field read comes first; then its update is the single one, call for call.
    ASSERT_GE(unit.size(), single.size());
    EXPECT_EQ(Lines(unit.end() - static_cast<long>(single.size()), unit.end()), single);
  }
  // In the trace, a unit's own calls and waits name its device; the library's calls name none.
  for (const auto& entry : bench.trace()) {
    const std::string op = entry["op"];
    const bool library = op == "init" || op == "exit" || op == "enumerate" || op == "free_enumeration";
    EXPECT_EQ(entry.contains("device"), !library) << entry.dump();
  }
  int inits = 0, exits = 0;
  for (const SimCall& call : bench.sim().calls()) {
    inits += call.op == "init";
    exits += call.op == "exit";
  }
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(bench.sim().OpenHandles(), 0);

  auto records = ReadJsonLines(folder_.Path("record.jsonl"));
  ASSERT_EQ(records.size(), 3U);
  std::map<std::string, nlohmann::json> by_port;
  for (const auto& record : records) by_port[record["port"]] = record;
  EXPECT_EQ(by_port["1-1.0"]["result"], "passed");
  EXPECT_EQ(by_port["1-1.0"]["fields"]["SN"], "A1");
  EXPECT_EQ(by_port["1-1.0"]["message"], nlohmann::json::array());
  EXPECT_EQ(by_port["1-1.0"]["files"][0]["sha256"].get<std::string>().size(), 64U);
  EXPECT_EQ(by_port["1-1.1"]["result"], "failed");
  EXPECT_EQ(by_port["1-1.1"]["message"],
            (nlohmann::json{"get the ota status failed!", "update fw/app.bin failed "}));
  EXPECT_EQ(by_port["1-1.1"]["files"][0]["result"], "failed");
  EXPECT_EQ(by_port["1-1.1"]["files"][1]["result"], "not sent");
  EXPECT_EQ(by_port["1-1.2"]["result"], "failed");
}

TEST_F(StationTest, StopCutsRunningUnitsShortAsCancelled) {
  SimBench bench(Devices({Device(0), Device(1)}));
  auto station = MakeStation(bench);
  station->Rescan();
  station->StartIdle();
  station->Stop();
  station->WaitUntilIdle();
  for (const UnitSnapshot& unit : station->Snapshot()) EXPECT_EQ(unit.state, UnitState::kCancelled);
  station->End();
  for (const auto& record : ReadJsonLines(folder_.Path("record.jsonl"))) {
    EXPECT_EQ(record["result"], "cancelled");
    EXPECT_NE(record["files"][0]["result"], "sent");
  }
}

TEST_F(StationTest, WatchingFlashesArrivalsAndDropsSlotsWhoseDeviceLeft) {
  SimBench bench(Devices({Device(0, R"(,"depart":20000)"), Device(1, R"(,"arrive":30000)")}));
  auto station = MakeStation(bench);
  station->SetAutoStart(true);
  station->Watch();
  station->Rescan();
  // Wait, in real time, for the second device to have been flashed after the first left.
  for (int tries = 0; tries < 2000; ++tries) {
    auto units = station->Snapshot();
    if (units.size() == 1 && units[0].path == "sim:1" && units[0].state == UnitState::kPassed) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  auto units = station->Snapshot();
  ASSERT_EQ(units.size(), 1U);
  EXPECT_EQ(units[0].path, "sim:1");
  EXPECT_EQ(units[0].state, UnitState::kPassed);
  station->End();
  EXPECT_EQ(ReadJsonLines(folder_.Path("record.jsonl")).size(), 2U);
}

}  // namespace
}  // namespace pellar::testing
