#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <set>

#include "cli/cli_app.h"
#include "cli/cli_run.h"
#include "support/fifo_watch.h"
#include "update/update_files.h"

namespace pellar::cli {
namespace {

using pellar::testing::CliRun;
using pellar::testing::FifoWatch;
using pellar::testing::RunPellarCli;
using pellar::testing::TempDir;

const char* kOneDevice = R"({"devices":[{"vid":"0x1234","pid":"0x5678"}]})";

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string error_part;
};

void ExpectRefused(const Case& c) {
  SCOPED_TRACE(c.name);
  CliRun run = RunPellarCli(c.arguments);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_NE(run.err.find(c.error_part), std::string::npos) << run.err;
}

// No reader opens a pipe: it would block in open() for good (Ctrl+C could not end an update so
// stuck). Each refuses it and names the file.
TEST(OutsideInput, APipeIsNeverOpenedForReading) {
  TempDir folder;
  FifoWatch pipe(folder.Path("pipe"));
  const std::string sim = folder.Write("sim.json", kOneDevice);
  const std::string list = folder.Write("list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=pipe\nDevicefilePath=a.bin\n");
  const Case cases[] = {
      {"update, firmware", {"--simulate", sim, "update", list}, 1, "open the file failed!"},
      {"update --check, firmware", {"update", "--check", list}, 1, "no readable file at"},
      {"update, list", {"--simulate", sim, "update", pipe.path()}, 2, "\"" + pipe.path() + "\" is not a regular file"},
      {"update --check, list", {"update", "--check", pipe.path()}, 2, "\"" + pipe.path() + "\" is not a regular file"},
      {"inspect", {"inspect", pipe.path()}, 1, pipe.path() + ": is not a regular file"},
      {"pack", {"pack", "--app", pipe.path(), "-o", folder.Path("p.bin")}, 1, "打开文件失败!"},
      {"simulated devices", {"--simulate", pipe.path(), "list"}, 2, "\"" + pipe.path() + "\": is not a regular file"},
  };
  for (const Case& c : cases) ExpectRefused(c);
  EXPECT_FALSE(pipe.OpenedForReading());
}

// A device that never ends, or a file larger than its format holds, is refused without being read
// whole; /dev/zero used to grow the process by gigabytes.
TEST(OutsideInput, InputBeyondWhatItsFormatHoldsIsRefused) {
  TempDir folder;
  const std::string sim = folder.Write("sim.json", kOneDevice);
  const std::string packet = folder.Write("big.bin", "");
  std::filesystem::resize_file(packet, 10485761);
  const std::string text = folder.Write("big.txt", "");
  std::filesystem::resize_file(text, 16777217);
  const Case cases[] = {
      {"inspect, a device", {"inspect", "/dev/zero"}, 1, "/dev/zero: is not a regular file"},
      {"inspect, too large", {"inspect", packet}, 1, packet + ": is larger than 10485760 bytes"},
      {"simulated devices, a device", {"--simulate", "/dev/zero", "list"}, 2, "\"/dev/zero\": is not a regular file"},
      {"simulated devices, too large", {"--simulate", text, "list"}, 2, "\": is larger than 16777216 bytes"},
      {"update, a device", {"--simulate", sim, "update", "/dev/zero"}, 2, "\"/dev/zero\" is not a regular file"},
      {"update, too large", {"--simulate", sim, "update", text}, 2, "\" is larger than 16777216 bytes"},
  };
  for (const Case& c : cases) ExpectRefused(c);
}

// The packet file goes only to a regular file, new or existing, or through a link to one; a
// device node replaced by a file breaks whatever uses the device.
TEST(OutsideInput, PackWritesOnlyToARegularFile) {
  TempDir folder;
  const std::string component = folder.WriteBytes("c.bin", {1, 2});
  const std::string node = folder.Path("null");
  const bool have_node = ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;  // as /dev/null
  const std::string pipe = folder.Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_symlink(pipe, folder.path() / "to-pipe");
  std::filesystem::create_directory(folder.path() / "dir");
  std::vector<std::string> targets{pipe, folder.Path("to-pipe"), folder.Path("dir")};
  if (have_node) targets.push_back(node);
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    CliRun run = RunPellarCli({"pack", "--app", component, "-o", target});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "写入文件失败!\n");
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_ino, before.st_ino);
  }
  std::set<std::string> expected{"c.bin", "pipe", "to-pipe", "dir"};
  if (have_node) expected.insert("null");
  EXPECT_EQ(folder.Names(), expected) << "a temporary file was left behind";
}

// A number the parser cannot hold is a malformed file like any other, not an abort.
TEST(OutsideInput, ANumberOutOfRangeInTheDeviceFileIsBadInput) {
  TempDir folder;
  const std::string file = folder.Write("huge.json", R"({"devices":[{"manufacturer":"A","vid":1e400,"pid":1}]})");
  for (const std::vector<std::string>& command : {std::vector<std::string>{"list"}, {"read", "sn"}}) {
    SCOPED_TRACE(command.front());
    std::vector<std::string> arguments{"--simulate", file};
    arguments.insert(arguments.end(), command.begin(), command.end());
    CliRun run = RunPellarCli(arguments);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find("simulated-device file \"" + file + "\": bad JSON"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace pellar::cli
