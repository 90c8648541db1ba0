#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/cli_app.h"
#include "cli/cli_run.h"
#include "station/loaded_update.h"
#include "update/update_files.h"
#include <nlohmann/json.hpp>

extern char** environ;

namespace pellar::cli {
namespace {

using pellar::testing::PatternBytes;
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
      {"BadDeviceText", {"--simulate", sim_, "update", list_, "--device", "cam"},
       "pellar-cli: --device takes VID:PID in hexadecimal, e.g. 1234:5678, not \"cam\"\n"},
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

// Ctrl+C reaches the running program as SIGINT: the run ends as cancelled with status 130.
TEST_F(UpdateCommandTest, InterruptCancelsWithStatus130) {
  folder_.Write("fw/long.bin", PatternBytes(1010 * 60));
  std::string list = folder_.Write(
      "long.txt", "[Update_Info]\nfile_num=2\n[file1]\nfilename=fw/long.bin\nDevicefilePath=l.bin\n"
                  "[file2]\nfilename=fw/b.bin\nDevicefilePath=b.bin\n");
  std::string err_path = Slashed(folder_) + "err.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_CREAT, 0600);
  std::vector<std::string> arguments{PELLAR_CLI_PATH, "--simulate", sim_, "update", list};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, PELLAR_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  std::ifstream err_file(err_path);
  std::string err((std::istreambuf_iterator<char>(err_file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(err.find("update b.bin"), std::string::npos) << err;
  EXPECT_EQ(err.find("update ok!"), std::string::npos);
  EXPECT_NE(err.find("update cancelled"), std::string::npos);
}

}  // namespace
}  // namespace pellar::cli
