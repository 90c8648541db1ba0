#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/cli_app.h"
#include "packer/packet_inspection.h"
#include "packer/byte_pattern.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace pellar::cli {
namespace {

using testing::Pattern;
using testing::TempDir;

using testing::CliRun;

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The real program, started in `folder` as a user would start it there.
CliRun RunProgramIn(const TempDir& folder, const std::string& arguments) {
  std::string command = "cd '" + folder.path().string() + "' && '" PELLAR_CLI_PATH "' " + arguments +
                        " >out.txt 2>err.txt";
  int status = std::system(command.c_str());
  CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(folder.Path("out.txt")),
          ReadText(folder.Path("err.txt"))};
  std::remove(folder.Path("out.txt").c_str());
  std::remove(folder.Path("err.txt").c_str());
  return run;
}

TEST(PackCommand, WritesPacketBinInTheCurrentDirectoryAndInspectReadsItBack) {
  TempDir folder;
  folder.WriteBytes("u.bin", Pattern(100, 1));
  folder.WriteBytes("a.bin", Pattern(50, 2));
  CliRun pack = RunProgramIn(folder, "pack --app a.bin --uvcconfig u.bin");
  EXPECT_EQ(pack.status, kExitOk) << pack.err;
  EXPECT_EQ(pack.err, "文件组包packet.bin成功，文件在当前目录!\n");
  EXPECT_EQ(folder.ReadBytes("packet.bin").size(), 178u);

  CliRun inspect = RunProgramIn(folder, "inspect packet.bin");
  EXPECT_EQ(inspect.status, kExitOk) << inspect.err;
  EXPECT_EQ(inspect.out,
            "packet.bin: 178 bytes, 2 records\n"
            "kind       type    offset  length\n"
            "UVCCONFIG  0x3112  18      100\n"
            "APP        0x3110  118     50\n");
}

TEST(PackCommand, EachOptionTakesItsKind) {
  TempDir folder;
  std::string component = folder.WriteBytes("c.bin", {1, 2});
  const std::pair<const char*, std::uint16_t> options[] = {
      {"--uvcconfig", 0x3112},     {"--uvcattr", 0x3113},  {"--hid-test", 0x31F0},
      {"--sensor-dirver", 0x3114}, {"--sensor-settings", 0x3115},
      {"--app-init", 0x3116},      {"--fast-init", 0x3120}, {"--app", 0x3110}};
  for (const auto& [option, type] : options) {
    SCOPED_TRACE(option);
    CliRun run = testing::RunPellarCli({"pack", option, component, "-o", folder.Path("p.bin")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    PacketInspection inspection = InspectPacket(folder.ReadBytes("p.bin"));
    ASSERT_EQ(inspection.records.size(), 1u);
    EXPECT_EQ(inspection.records[0].type, type);
  }
}

TEST(PackCommand, FailuresShowTheirMessageAndExitOne) {
  TempDir folder;
  std::string component = folder.WriteBytes("c.bin", {1, 2});
  std::string output = folder.WriteBytes("p.bin", {7});
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  for (const Case& c : {
           Case{{"pack", "-o", output}, "文件名不可以全部为空!\n"},
           Case{{"pack", "--app", folder.Path("gone.bin"), "-o", output}, "打开文件失败!\n"},
           Case{{"pack", "--app", component, "-o", folder.Path("gone/p.bin")}, "写入文件失败!\n"},
       }) {
    SCOPED_TRACE(c.message);
    CliRun run = testing::RunPellarCli(c.arguments);
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, c.message);
    EXPECT_EQ(folder.ReadBytes("p.bin"), std::vector<std::uint8_t>{7});
  }
}

TEST(PackCommand, OutputElsewhereIsNamedInTheMessage) {
  TempDir folder;
  std::string component = folder.WriteBytes("c.bin", {1});
  CliRun run = testing::RunPellarCli({"pack", "--hid-test", component, "-o", folder.Path("x.bin")});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.err, "文件组包" + folder.Path("x.bin") + "成功!\n");
}

TEST(InspectCommand, NamesWhatIsWrongAndExitsOne) {
  TempDir folder;
  std::string truncated = folder.WriteBytes("t.bin", {0x5A, 0x5A, 0, 0, 1});
  std::string unknown = folder.WriteBytes("u.bin", {0x5A, 0x5A, 0, 0, 1, 0, 0, 0, 0x34, 0x12, 18, 0, 0, 0, 0, 0, 0, 0});
  struct Case {
    std::string path;
    std::string message;
  };
  for (const Case& c : {Case{truncated, truncated + ": too short: 5 bytes, a header alone takes 8\n"},
                        Case{unknown, unknown + ": unknown type code: record 1 at byte 8 has type code "
                                                "0x1234, which no kind carries\n"},
                        Case{folder.Path("none.bin"),
                             folder.Path("none.bin") + ": cannot be read: No such file or directory\n"},
                        Case{folder.path().string(), folder.path().string() + ": is not a regular file\n"}}) {
    CliRun run = testing::RunPellarCli({"inspect", c.path});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.err, "pellar-cli: " + c.message);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace pellar::cli
