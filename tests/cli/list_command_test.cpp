#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/cli_app.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace pellar {
namespace {

const char* kDevices = R"({"devices":[
  {"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678"},
  {"manufacturer":"Nobody","product":"Zero","vid":0,"pid":"0x0001"},
  {"manufacturer":"Bolt","product":"Hub","vid":"0x0a0b","pid":"0x00ff"},
  {"manufacturer":"Core","product":"Key","vid":"0x0c0d","pid":"0x0002"}]})";

using CliResult = testing::CliRun;
using testing::RunPellarCli;

TEST(ListCommand, PrintsTheTableInWindowOrderUnderTheColumnTitles) {
  testing::TempDir folder;
  std::string devices = folder.Write("devices.json", kDevices);
  CliResult result = RunPellarCli({"--simulate", devices, "list"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Manufacturer  DeviceName  ProductID  VendorID\n"
            "Acme          Cam         0x5678     0x1234\n"
            "Core          Key         0x0002     0x0c0d\n"
            "Bolt          Hub         0x00ff     0x0a0b\n");
  EXPECT_EQ(result.err, "");
}

TEST(ListCommand, JsonHasTheFourKeysInTableOrder) {
  testing::TempDir folder;
  std::string devices = folder.Write("devices.json", kDevices);
  CliResult result = RunPellarCli({"list", "--json", "--simulate", devices});
  ASSERT_EQ(result.status, 0);
  nlohmann::json rows = nlohmann::json::parse(result.out);
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[0], nlohmann::json({{"Manufacturer", "Acme"}, {"DeviceName", "Cam"},
                                     {"ProductID", "0x5678"}, {"VendorID", "0x1234"}}));
  EXPECT_EQ(rows[1]["DeviceName"], "Key");
  EXPECT_EQ(rows[2]["DeviceName"], "Hub");
}

TEST(ListCommand, LongAddsEachRowsPathPortAndAccess) {
  testing::TempDir folder;
  std::string devices = folder.Write("devices.json", R"({"devices":[
    {"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:a","port":"1-2.1"},
    {"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:b","access":false}]})");
  CliResult text = RunPellarCli({"--simulate", devices, "list", "--long"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out,
            "Manufacturer  DeviceName  ProductID  VendorID  Path   Port   Access\n"
            "Acme          Cam         0x5678     0x1234    sim:a  1-2.1  yes\n"
            "Acme          Cam         0x5678     0x1234    sim:b  sim:b  no\n");
  CliResult json = RunPellarCli({"--simulate", devices, "list", "--long", "--json"});
  ASSERT_EQ(json.status, 0);
  nlohmann::json rows = nlohmann::json::parse(json.out);
  EXPECT_EQ(rows[1]["Path"], "sim:b");
  EXPECT_EQ(rows[1]["Port"], "sim:b");
  EXPECT_EQ(rows[1]["Access"], "no");
}

TEST(ListCommand, TraceRecordsEveryHidCallAsJsonLines) {
  testing::TempDir folder;
  std::string devices = folder.Write("devices.json", kDevices);
  std::string trace = (folder.path() / "trace.jsonl").string();
  ASSERT_EQ(RunPellarCli({"--simulate", devices, "--trace", trace, "list"}).status, 0);
  std::istringstream lines(folder.Read("trace.jsonl"));
  std::vector<nlohmann::json> entries;
  for (std::string line; std::getline(lines, line);) entries.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0]["op"], "enumerate");
  EXPECT_EQ(entries[0]["count"], 4);
  EXPECT_TRUE(entries[0]["t"].is_number());
  EXPECT_EQ(entries[1]["op"], "free_enumeration");
}

TEST(ListCommand, BadInputFilesAndUsageExitWithTwoAndNameTheProblem) {
  testing::TempDir folder;
  std::string broken = folder.Write("broken.json", R"({"devices":[{"rules":[{"command":1,"answer":"maybe"}]}]})");
  struct Case {
    std::vector<std::string> arguments;
    std::string error_part;
  } cases[] = {
      {{"--simulate", broken, "list"}, "simulated-device file \"" + broken + "\": devices[0].rules[0].answer: unknown answer kind \"maybe\""},
      {{"--simulate", (folder.path() / "missing.json").string(), "list"}, "missing.json\": cannot be read"},
      {{"--simulate", broken, "--trace", "/nonexistent/dir/t.jsonl", "list"}, "unknown answer kind"},
      {{"list", "--encoding", "NO-SUCH-CODE"}, "unknown encoding \"NO-SUCH-CODE\""},
      {{"frobnicate"}, "A subcommand is required"},
      {{}, "A subcommand is required"},
  };
  for (const Case& c : cases) {
    CliResult result = RunPellarCli(c.arguments);
    EXPECT_EQ(result.status, 2) << c.error_part;
    EXPECT_NE(result.err.find(c.error_part), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
}

TEST(PellarCli, VersionAndHelpOfTheRealProgram) {
  EXPECT_EQ(RunPellarCli({"--version"}).out, "1.0.0.1\n");
  EXPECT_EQ(RunPellarCli({"--version"}).status, 0);
  EXPECT_EQ(std::system(PELLAR_CLI_PATH " --help > /dev/null"), 0);
  EXPECT_NE(std::system(PELLAR_CLI_PATH " list --no-such-option 2> /dev/null"), 0);
}

}  // namespace
}  // namespace pellar
