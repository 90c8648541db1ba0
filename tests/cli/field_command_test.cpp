#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/cli_app.h"
#include "cli/terminal_operator.h"
#include "support/sim_bench.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace pellar::cli {
namespace {

using pellar::testing::OneDevice;

using pellar::testing::CliRun;

CliRun RunWith(const std::string& sim_text, std::vector<std::string> arguments) {
  testing::TempDir folder;
  arguments.insert(arguments.begin(), {"--simulate", folder.Write("devices.json", sim_text)});
  return testing::RunPellarCli(arguments);
}

struct CommandCase {
  const char* name;
  const char* rules;
  std::vector<std::string> arguments;
  int status;
  std::string out;
  std::string err_has;
};

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class FieldCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(FieldCommand, PrintsAndExits) {
  const CommandCase& c = GetParam();
  CliRun run = RunWith(OneDevice(c.rules, R"({"SN":"SN-1","Version":"V2"})"), c.arguments);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(run.out, c.out);
  EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldCommand,
    ::testing::Values(
        CommandCase{"ReadSn", "[]", {"read", "sn"}, kExitOk, "SN-1\n", ""},
        CommandCase{"ReadVersionByDevice", "[]", {"read", "VERSION", "--device", "1234:5678"},
                    kExitOk, "V2\n", ""},
        CommandCase{"ReadRefused", R"([{"command":"0x2010","answer":"refuse","status":1}])",
                    {"read", "sn"}, kExitFailed, "", "读SN失败!"},
        CommandCase{"ReadAppKeyEmpty", "[]", {"read", "appkey"}, kExitFailed, "", "读版AppKey失败!"},
        CommandCase{"WriteModel", "[]", {"write", "model", "M-9"}, kExitOk, "", "写入Model成功!"},
        CommandCase{"WriteRefused", R"([{"command":"0x2011","answer":"refuse","status":3}])",
                    {"write", "sn", "x"}, kExitFailed, "", "写入SN失败!"},
        CommandCase{"WriteEmpty", "[]", {"write", "bcd", ""}, kExitFailed, "", "BCD不可以为空"},
        CommandCase{"WriteUnencodable", "[]", {"--encoding", "GBK", "write", "cmei", "😀"},
                    kExitFailed, "", "CMEI含有无法编码的字符"},
        CommandCase{"WrongDevice", "[]", {"read", "sn", "--device", "1234:9999"}, kExitFailed, "",
                    "HID open failed!"},
        CommandCase{"VersionIsReadOnly", "[]", {"write", "version", "V3"}, kExitUsage, "", "version"},
        CommandCase{"UnknownField", "[]", {"read", "serial"}, kExitUsage, "", "serial"},
        CommandCase{"MissingValue", "[]", {"write", "sn"}, kExitUsage, "", "VALUE"}),
    [](const auto& info) { return std::string(info.param.name); });

// A link over one simulated device that outlives single runs, so a value written by one command
// can be read by the next.
class BenchLink final : public Link {
 public:
  explicit BenchLink(testing::SimBench& bench) : bench_(bench) {}
  HidApi& hid() override { return bench_.context().hid; }
  Clock& clock() override { return bench_.context().clock; }
  const TextCodec& codec() const override { return bench_.context().codec; }
  SimulatedHid* simulation() override { return &bench_.sim(); }
  DeviceSystem& system() override { return bench_.sim(); }

 private:
  testing::SimBench& bench_;
};

CliRun RunOnBench(testing::SimBench& bench, std::vector<std::string> arguments) {
  CLI::App app;
  app.require_subcommand(1);
  CommandRegistry commands;
  AddFieldCommands(app, commands);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  app.parse(reversed);
  BenchLink link(bench);
  std::ostringstream out, err;
  TerminalOperator ui(err);
  DeviceContext context{link.hid(), link.clock(), ui, link.codec()};
  CliEnvironment environment{link, ui, context, out, err};
  int status = (*commands.Chosen())(environment);
  return {status, out.str(), err.str()};
}

TEST(FieldCommand, WrittenValueReadsBack) {
  testing::SimBench bench(OneDevice(), "GBK");
  CliRun write = RunOnBench(bench, {"write", "manufacture", "深圳 Acme"});
  EXPECT_EQ(write.status, kExitOk) << write.err;
  EXPECT_EQ(write.err, "写入Manufacture成功!\n");
  EXPECT_EQ(bench.sim().Field(0, "Manufacture"), "\xC9\xEE\xDB\xDA Acme");

  CliRun read = RunOnBench(bench, {"read", "manufacture"});
  EXPECT_EQ(read.status, kExitOk) << read.err;
  EXPECT_EQ(read.out, "深圳 Acme\n");
  EXPECT_TRUE(bench.LibraryReleased());
}

}  // namespace
}  // namespace pellar::cli
