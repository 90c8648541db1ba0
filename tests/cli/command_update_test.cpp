#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/cli_process.h"
#include "cli/cli_run.h"
#include "station/loaded_update.h"
#include "update/update_files.h"
#include <nlohmann/json.hpp>

namespace pellar::cli {
namespace {

using pellar::testing::PatternBytes;
using pellar::testing::RunPellarCliUntilSignal;
using pellar::testing::Slashed;
using pellar::testing::TempDir;

const char* kOneDevice =
    R"({"devices":[{"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678"}]})";

using Result = pellar::testing::CliRun;
using pellar::testing::RunPellarCli;

// Small files only: the command line runs on the real clock, 35 ms a packet.
class UpdateCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("fw/a.bin", PatternBytes(1500));
    folder_.Write("fw/b.bin", PatternBytes(20));
    list_ = folder_.Write("list.txt",
                          "[Update_Info]\nfile_num=2\n[file1]\nfilename=fw/a.bin\nDevicefilePath=a.bin\n"
                          "[file2]\nfilename=fw\\b.bin\nDevicefilePath=b.bin\n");
    sim_ = folder_.Write("sim.json", kOneDevice);
  }
  std::string Device(const std::string& rules) {
    return folder_.Write("rules.json", R"({"devices":[{"vid":"0x1234","pid":"0x5678","rules":)" + rules + "}]}");
  }

  TempDir folder_;
  std::string list_;
  std::string sim_;
};

TEST_F(UpdateCommandTest, AWholeUpdateEndsWithUpdateOk) {
  Result result = RunPellarCli({"--simulate", sim_, "update", list_});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("update a.bin ...\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("a.bin: 1500 bytes sent in"), std::string::npos);
  EXPECT_NE(result.err.find("update fw\\b.bin ...\n"), std::string::npos);
  EXPECT_NE(result.err.find("update finish!\nupdate ok!\n"), std::string::npos);
}

TEST_F(UpdateCommandTest, FailuresAndEmptyListsExitWithOne) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected_err;
  };
  std::string empty_list = folder_.Write("empty.txt", "[Update_Info]\nfile_num=0\n");
  const Case cases[] = {
      {"StartRefused", {"--simulate", Device(R"([{"command":"0x3000","answer":"refuse","status":1}])"), "update", list_},
       "update a.bin ...\nsend the cmd of start update failed!\nupdate fw/a.bin failed \n"},
      {"NoFiles", {"--simulate", sim_, "update", empty_list},
       "pellar-cli: the update list names no files; nothing was sent\n"},
      {"NoSuchDevice", {"--simulate", sim_, "update", list_, "--device", "1234:9999"}, "HID open failed!\n"},
  };
  for (const Case& c : cases) {
    Result result = RunPellarCli(c.arguments);
    EXPECT_EQ(result.status, 1) << c.name;
    EXPECT_EQ(result.err, c.expected_err) << c.name;
  }
}

TEST_F(UpdateCommandTest, SeveralDevicesNeedAChoice) {
  std::string two = folder_.Write(
      "two.json", R"({"devices":[{"vid":"0x1234","pid":"0x5678"},{"vid":"0x1234","pid":"0x5678","path":"/dev/hidraw7"}]})");
  Result ambiguous = RunPellarCli({"--simulate", two, "update", list_});
  EXPECT_EQ(ambiguous.status, 1);
  EXPECT_NE(ambiguous.err.find("several HID devices found"), std::string::npos) << ambiguous.err;
  Result chosen = RunPellarCli({"--simulate", two, "update", list_, "--path", "/dev/hidraw7"});
  EXPECT_EQ(chosen.status, 0) << chosen.err;
}

TEST_F(UpdateCommandTest, CheckPrintsThePlanWithoutADevice) {
  Result good = RunPellarCli({"update", "--check", list_});  // no --simulate: the real library is never used
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_NE(good.out.find(Slashed(folder_) + "fw/a.bin  a.bin         a.bin             1500  2        0.07 s"),
            std::string::npos)
      << good.out;
  EXPECT_NE(good.out.find("total: 1520 bytes in 3 packets; the pacing alone takes 0.10 s"), std::string::npos);

  std::string bad = folder_.Write(
      "bad.txt", "[Update_Info]\nfile_num=3\n[file1]\nfilename=gone.bin\nDevicefilePath=g.lzma\n"
                 "[file2]\nfilename=fw/a.bin\nDevicefilePath=" + std::string(1011, 'x') + "\n");
  Result problems = RunPellarCli({"update", "--check", bad});
  EXPECT_EQ(problems.status, 1);
  EXPECT_NE(problems.err.find("file1: open the file failed!"), std::string::npos) << problems.err;
  EXPECT_NE(problems.err.find("file2: the device file name is too long!"), std::string::npos);
  EXPECT_NE(problems.err.find("file3: open the file failed!"), std::string::npos);
}

// The record of a single update is the line a station writes for one of its units.
TEST_F(UpdateCommandTest, RecordHoldsOneLinePerRunWithEachFileAndTheOutcome) {
  const std::string record = Slashed(folder_) + "record.jsonl";
  Result passed = RunPellarCli({"--simulate", sim_, "update", list_, "--record", record});
  EXPECT_EQ(passed.status, 0) << passed.err;
  std::string refusing = Device(R"([{"command":"0x3300","answer":"refuse","status":2,"after":0}])");
  Result failed = RunPellarCli({"--simulate", refusing, "update", list_, "--record", record});
  EXPECT_EQ(failed.status, 1);

  std::ifstream file(record);
  std::vector<nlohmann::json> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(lines.size(), 2u);
  const std::string a = PatternBytes(1500);
  EXPECT_EQ(lines[0]["vid"], "0x1234");
  EXPECT_EQ(lines[0]["product"], "Cam");
  EXPECT_EQ(lines[0]["list"], list_);
  EXPECT_EQ(lines[0]["result"], "passed");
  EXPECT_EQ(lines[0]["message"], nlohmann::json::array());
  EXPECT_EQ(lines[0]["files"][0]["sha256"],
            Sha256Hex(reinterpret_cast<const std::uint8_t*>(a.data()), a.size()));
  EXPECT_EQ(lines[0]["files"][1]["filename"], "fw\\b.bin");
  EXPECT_EQ(lines[0]["files"][1]["result"], "sent");
  EXPECT_EQ(lines[1]["result"], "failed");
  EXPECT_EQ(lines[1]["files"][0]["result"], "failed");
  EXPECT_EQ(lines[1]["files"][1]["result"], "not sent");
  EXPECT_FALSE(lines[1]["message"].empty());

  // A record that cannot be written is bad input, known before the device is touched.
  const std::string trace = Slashed(folder_) + "trace.jsonl";
  Result unwritable = RunPellarCli({"--simulate", sim_, "--trace", trace, "update", list_, "--record",
                                    Slashed(folder_) + "no/such/record.jsonl"});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.err.find("cannot be written"), std::string::npos) << unwritable.err;
  std::ifstream traced(trace);
  std::string calls((std::istreambuf_iterator<char>(traced)), std::istreambuf_iterator<char>());
  EXPECT_EQ(calls.find("open"), std::string::npos) << calls;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Ctrl+C, SIGTERM (a service stopped, a shutdown) and SIGHUP (the terminal gone) each end the run
// as a close does: the file cut short at its next packet, the device asked for its status and
// closed, the library shut down, no later file, and the shell's status for that signal.
TEST_F(UpdateCommandTest, StopSignalsCancelTheRunAndCloseTheDevice) {
  folder_.Write("fw/long.bin", PatternBytes(1010 * 60));
  std::string list = folder_.Write(
      "long.txt", "[Update_Info]\nfile_num=2\n[file1]\nfilename=fw/long.bin\nDevicefilePath=l.bin\n"
                  "[file2]\nfilename=fw/b.bin\nDevicefilePath=b.bin\n");
  const std::pair<int, int> signals[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
  for (const auto& [signal, expected_status] : signals) {
    SCOPED_TRACE(signal);
    std::string err_path = Slashed(folder_) + "err.txt";
    std::string trace_path = Slashed(folder_) + "trace.jsonl";
    auto [status, err] = RunPellarCliUntilSignal({"--simulate", sim_, "--trace", trace_path, "update", list},
                                                 300, signal, err_path);
    ASSERT_NE(status, -1) << "ended by the signal itself, or not started";
    EXPECT_EQ(status, expected_status);
    EXPECT_EQ(err.find("update b.bin"), std::string::npos) << err;
    EXPECT_EQ(err.find("update ok!"), std::string::npos);
    EXPECT_NE(err.find("update cancelled"), std::string::npos);
    std::string trace = ReadFile(trace_path);
    EXPECT_NE(trace.find("\"op\":\"close\""), std::string::npos) << trace.substr(trace.size() - 300);
    EXPECT_NE(trace.rfind("\"op\":\"exit\""), std::string::npos);
  }
}

// A station takes the same signals: every running unit is cut short and closed, and the station
// ends with the signal's status.
TEST_F(UpdateCommandTest, AStationStopsEveryUnitOnEachStopSignal) {
  folder_.Write("fw/long.bin", PatternBytes(1010 * 60));
  std::string list = folder_.Write(
      "long.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/long.bin\nDevicefilePath=l.bin\n");
  std::string two = folder_.Write(
      "two.json", R"({"devices":[{"vid":"0x1234","pid":"0x5678","path":"/dev/hidraw1"},)"
                  R"({"vid":"0x1234","pid":"0x5678","path":"/dev/hidraw2"}]})");
  for (const auto& [signal, expected_status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
    SCOPED_TRACE(signal);
    std::string err_path = Slashed(folder_) + "err.txt";
    std::string trace_path = Slashed(folder_) + "trace.jsonl";
    auto [status, err] = RunPellarCliUntilSignal(
        {"--simulate", two, "--trace", trace_path, "station", list, "--match", "1234:5678", "--once"}, 500, signal,
        err_path);
    ASSERT_NE(status, -1) << "ended by the signal itself, or not started";
    EXPECT_EQ(status, expected_status);
    EXPECT_NE(err.find("cancelled 2"), std::string::npos) << err;
    std::string trace = ReadFile(trace_path);
    for (const char* path : {"/dev/hidraw1", "/dev/hidraw2"})
      EXPECT_NE(trace.find(std::string("\"device\":\"") + path + "\",\"op\":\"close\""), std::string::npos)
          << path;
    EXPECT_NE(trace.rfind("\"op\":\"exit\""), std::string::npos);
  }
}

// The device needs 8000 ms after a ".lzma" file; a stop in that pause ends the run at once,
// cancelled, even when no file follows.
TEST_F(UpdateCommandTest, AStopDuringThePauseAfterTheLastFileCancels) {
  std::string list = folder_.Write(
      "lzma.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/b.bin\nDevicefilePath=b.lzma\n");
  std::string err_path = Slashed(folder_) + "err.txt";
  auto [status, err] = RunPellarCliUntilSignal({"--simulate", sim_, "update", list}, 1000, SIGINT, err_path);
  ASSERT_NE(status, -1) << "ended by the signal itself, or not started";
  EXPECT_EQ(status, 130);
  EXPECT_NE(err.find("b.bin: 20 bytes sent"), std::string::npos) << err;
  EXPECT_EQ(err.find("update ok!"), std::string::npos) << err;
}

// A list that is missing or no file, or a malformed --device, is bad usage: status 2, the reason
// named, and no device touched (the trace shows no call to the library).
TEST_F(UpdateCommandTest, BadInputIsRefusedWithTwoBeforeAnyDeviceIsTouched) {
  const std::string missing = Slashed(folder_) + "missing.txt";
  const std::string trace_path = Slashed(folder_) + "trace.jsonl";
  const std::string folder = folder_.path().string();
  struct Case {
    std::vector<std::string> arguments;
    std::string error_part;
  };
  const Case cases[] = {
      {{"update", missing}, "pellar-cli: the update list \"" + missing + "\" cannot be read: No such file or directory\n"},
      {{"update", "--check", missing}, "the update list \"" + missing + "\" cannot be read"},
      {{"update", folder}, "the update list \"" + folder + "\" is not a regular file\n"},
      {{"update", list_, "--device", "1234"}, "--device takes VID:PID in hexadecimal, e.g. 1234:5678, not \"1234\""},
      {{"update", list_, "--device", "cam"}, "not \"cam\""},
      {{"read", "sn", "--device", "12345:1"}, "not \"12345:1\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    std::vector<std::string> arguments{"--simulate", sim_, "--trace", trace_path};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    Result result = RunPellarCli(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(c.error_part), std::string::npos) << result.err;
    std::string trace = ReadFile(trace_path);
    EXPECT_EQ(trace.find("\"op\":\"init\""), std::string::npos) << trace;
    EXPECT_EQ(trace.find("\"op\":\"enumerate\""), std::string::npos) << trace;
  }
}

// A trace that cannot be written warns once; the update's own outcome stands.
TEST_F(UpdateCommandTest, ATraceThatCannotBeWrittenWarnsOnceAndChangesNothingElse) {
  std::ostringstream captured;
  std::streambuf* previous = std::cerr.rdbuf(captured.rdbuf());
  Result result = RunPellarCli({"--simulate", sim_, "--trace", "/dev/full", "update", list_});
  std::cerr.rdbuf(previous);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("update ok!"), std::string::npos);
  const std::string warning = "warning: the trace file \"/dev/full\" cannot be written";
  const std::string text = captured.str();
  std::size_t first = text.find(warning);
  EXPECT_NE(first, std::string::npos) << text;
  EXPECT_EQ(text.find(warning, first + 1), std::string::npos) << text;
}

}  // namespace
}  // namespace pellar::cli
