#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "cli/cli_process.h"
#include "cli/cli_run.h"
#include "support/json_lines.h"
#include "update/update_files.h"

namespace pellar::cli {
namespace {

using pellar::testing::PatternBytes;
using pellar::testing::ReadJsonLines;
using pellar::testing::RunPellarCli;
using pellar::testing::RunPellarCliUntilSignal;
using pellar::testing::Slashed;
using pellar::testing::TempDir;
using Result = pellar::testing::CliRun;

// A device of the station's pair in its own port; `extra` adds keys such as rules or a script.
std::string Device(int number, const std::string& extra = "") {
  const std::string n = std::to_string(number);
  return R"({"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:)" + n +
         R"(","port":"1-1.)" + n + R"(","fields":{"SN":"SN-)" + n + "\"}" + extra + "}";
}

// Small files only: the command line runs on the real clock, 35 ms a packet.
class StationCommandTest : public ::testing::Test {
 protected:
  StationCommandTest() {
    folder_.Write("fw/a.bin", PatternBytes(1500));
    list_ = folder_.Write("list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/a.bin\nDevicefilePath=a.bin\n");
    record_ = folder_.Path("record.jsonl");
  }
  std::string Devices(const std::vector<std::string>& devices) {
    std::string text = R"({"devices":[)";
    for (std::size_t i = 0; i < devices.size(); ++i) text += (i > 0 ? "," : "") + devices[i];
    return folder_.Write("devices.json", text + "]}");
  }

  TempDir folder_;
  std::string list_;
  std::string record_;
};

TEST_F(StationCommandTest, OnceFlashesEveryMatchingDeviceAndRecordsEachUnit) {
  const std::string other_pair = R"({"vid":"0x1234","pid":"0x9999","path":"sim:other"})";
  const std::string sim = Devices({Device(1), Device(2), Device(3), other_pair});
  Result result = RunPellarCli({"--simulate", sim, "station", list_, "--match", "1234:5678", "--once",
                                "--ports", "1-1.1,1-1.2", "--record", record_, "--read", "sn"});
  EXPECT_EQ(result.status, 0) << result.err;
  std::map<std::string, std::string> results;
  for (const nlohmann::json& line : ReadJsonLines(record_)) {
    results[line["port"]] = line["result"];
    EXPECT_EQ(line["fields"]["SN"], "SN-" + line["port"].get<std::string>().substr(4));
    EXPECT_EQ(line["files"][0]["result"], "sent");
    EXPECT_EQ(line["list"], list_);
  }
  // The device in port 1-1.3 and the one of another pair are never touched.
  EXPECT_EQ(results, (std::map<std::string, std::string>{{"1-1.1", "passed"}, {"1-1.2", "passed"}}));

  // The same serial number again: flashed, and flagged as a repeat.
  Result again = RunPellarCli({"--simulate", sim, "station", list_, "--match", "1234:5678", "--once",
                               "--ports", "1-1.1", "--record", record_, "--read", "SN"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("SN SN-1 passed before"), std::string::npos) << again.err;
  std::vector<nlohmann::json> lines = ReadJsonLines(record_);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2]["repeat"], true);
  EXPECT_EQ(lines[2]["result"], "passed");
}

TEST_F(StationCommandTest, ExitStatusSaysWhetherEveryUnitPassedOrTheInputWasBad) {
  const std::string refusing = R"(,"rules":[{"command":"0x3300","answer":"refuse","status":3}])";
  struct Case {
    const char* name;
    std::vector<std::string> devices;
    std::vector<std::string> arguments;  // after the list
    int status;
    std::string err_part;
  };
  const std::string unwritable = folder_.Path("no/such/folder/record.jsonl");
  const Case cases[] = {
      {"OneUnitFails", {Device(1), Device(2, refusing)}, {"--match", "1234:5678", "--once"}, 1, "failed"},
      {"NoDeviceMatches", {Device(1)}, {"--match", "1234:0001", "--once"}, 1, "no device 1234:0001 is attached"},
      {"NoneInThePorts", {Device(1)}, {"--match", "1234:5678", "--once", "--ports", "9-9"}, 1,
       "in the given ports"},
      {"BadMatch", {Device(1)}, {"--match", "1234", "--once"}, 2, "--match takes VID:PID"},
      {"ZeroMatch", {Device(1)}, {"--match", "0:5678", "--once"}, 2, "--match takes VID:PID"},
      {"MissingMatch", {Device(1)}, {"--once"}, 2, "--match"},
      {"UnknownField", {Device(1)}, {"--match", "1234:5678", "--once", "--read", "colour"}, 2, "--read"},
      {"UnwritableRecord", {Device(1)}, {"--match", "1234:5678", "--once", "--record", unwritable}, 2,
       "cannot be written"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> arguments{"--simulate", Devices(c.devices), "station", list_};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    Result result = RunPellarCli(arguments);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.err_part), std::string::npos) << result.err;
  }
}

TEST_F(StationCommandTest, ABadListOrFileIsRefusedBeforeAnyDeviceIsTouched) {
  const std::string trace = folder_.Path("trace.jsonl");
  const std::string missing_file =
      folder_.Write("gone.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/gone.bin\nDevicefilePath=g.bin\n");
  const std::string long_name = folder_.Write(
      "long.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/a.bin\nDevicefilePath=" + std::string(1011, 'x') + "\n");
  const std::string empty = folder_.Write("empty.txt", "[Update_Info]\nfile_num=0\n");
  for (const std::string& list : {folder_.Path("absent.txt"), missing_file, long_name, empty}) {
    SCOPED_TRACE(list);
    Result result = RunPellarCli({"--simulate", Devices({Device(1)}), "--trace", trace, "station", list,
                                  "--match", "1234:5678", "--once"});
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find("cannot be sent"), std::string::npos) << result.err;
    std::ifstream traced(trace);
    std::string calls((std::istreambuf_iterator<char>(traced)), std::istreambuf_iterator<char>());
    EXPECT_EQ(calls.find("\"open"), std::string::npos) << calls;
  }
}

// Watching: arrivals are flashed at once, a unit unplugged mid-file fails alone, a new device in
// a port that was left is a new unit, and Ctrl+C cuts the running units short.
TEST_F(StationCommandTest, WatchingFlashesArrivalsUntilCtrlCCutsTheRunningUnitsShort) {
  folder_.Write("fw/long.bin", PatternBytes(1010 * 80));  // about 3 s a unit
  const std::string list =
      folder_.Write("long.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/long.bin\nDevicefilePath=l.bin\n");
  const std::string sim = Devices({
      Device(1),
      Device(2, R"(,"arrive":300)"),
      Device(3, R"(,"depart":500)"),
      R"({"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:3b","port":"1-1.3","arrive":800})",
  });
  auto [status, err] = RunPellarCliUntilSignal(
      {"--simulate", sim, "station", list, "--match", "1234:5678", "--record", record_}, 1600, SIGINT,
      folder_.Path("err.txt"));
  EXPECT_EQ(status, 130) << err;
  std::map<std::string, std::string> results;
  for (const nlohmann::json& line : ReadJsonLines(record_)) {
    results[line["path"]] = line["result"];
    if (line["result"] == "cancelled") {
      EXPECT_EQ(line["files"][0]["result"], "cut short");
    }
  }
  EXPECT_EQ(results, (std::map<std::string, std::string>{
                         {"sim:1", "cancelled"}, {"sim:2", "cancelled"}, {"sim:3", "failed"}, {"sim:3b", "cancelled"}}))
      << err;
  EXPECT_EQ(err.find("ended: passed"), std::string::npos) << err;
}

}  // namespace
}  // namespace pellar::cli
