#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_run.h"
#include "support/sim_bench.h"
#include "support/temp_dir.h"

namespace pellar::cli {
namespace {

using pellar::testing::CliRun;

// The command touches no device, but every run makes its link: simulated, so no real HID is used.
class UdevRuleCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_ = folder_.Write("devices.json", testing::OneDevice("[]", "{}"));
    setenv("PELLAR_UDEV_RULES_DIR", folder_.Path("rules.d").c_str(), 1);
    // Stands in for udevadm and writes down how it was called.
    std::string log = folder_.Path("udevadm.log");
    udevadm_ = folder_.Write("udevadm", "#!/bin/sh\necho \"$*\" >> '" + log + "'\nexit ${UDEVADM_STATUS:-0}\n");
    chmod(udevadm_.c_str(), 0755);
    setenv("PELLAR_UDEVADM", udevadm_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("PELLAR_UDEV_RULES_DIR");
    unsetenv("PELLAR_UDEVADM");
    unsetenv("UDEVADM_STATUS");
  }
  CliRun Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--simulate", sim_, "udev-rule"});
    return testing::RunPellarCli(arguments);
  }
  void MakeRulesFolder() { std::filesystem::create_directory(folder_.Path("rules.d")); }

  testing::TempDir folder_;
  std::string sim_;
  std::string udevadm_;
};

struct UsageCase {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string out_has;
  std::string err_has;
};

void PrintTo(const UsageCase& c, std::ostream* out) { *out << c.name; }

class UdevRuleUsage : public UdevRuleCommand, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UdevRuleUsage, PrintsTheRuleOrRefusesTheInput) {
  const UsageCase& c = GetParam();
  CliRun run = Run(c.arguments);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_NE(run.out.find(c.out_has), std::string::npos) << run.out;
  EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
  if (c.status != kExitOk) {
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(folder_.Exists("rules.d"));  // printing never installs
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UdevRuleUsage,
    ::testing::Values(
        UsageCase{"Pair", {"1234:ABCD"}, kExitOk, R"(ATTRS{idProduct}=="abcd", TAG+="uaccess")", ""},
        UsageCase{"PairWith0x", {"0x1234:0x5678"}, kExitOk, R"(ATTRS{idVendor}=="1234")", ""},
        UsageCase{"Group", {"1234:5678", "--group", "plugdev"}, kExitOk, R"(MODE="0660", GROUP="plugdev")", ""},
        UsageCase{"NoColon", {"12345678"}, kExitUsage, "", "udev-rule takes VID:PID in hexadecimal"},
        UsageCase{"NotHex", {"12g4:5678"}, kExitUsage, "", "not \"12g4:5678\""},
        UsageCase{"TooLong", {"12345:5678"}, kExitUsage, "", "VID:PID"},
        UsageCase{"ZeroVendor", {"0:5678"}, kExitUsage, "", "VID:PID"},
        UsageCase{"EmptyHalf", {"1234:"}, kExitUsage, "", "VID:PID"},
        UsageCase{"Missing", {}, kExitUsage, "", "VID:PID is required"},
        UsageCase{"GroupBreakingQuotes", {"1234:5678", "--group", "x\", MODE=\"0666"}, kExitUsage, "",
                  "is not a group name"}));

TEST_F(UdevRuleCommand, InstallWritesTheRuleAndReloadsUdevForHidraw) {
  MakeRulesFolder();
  CliRun run = Run({"1234:5678", "--install"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(folder_.Read("rules.d/70-pellar-1234-5678.rules").find(R"(TAG+="uaccess")"), std::string::npos);
  EXPECT_EQ(folder_.Read("udevadm.log"), "control --reload\ntrigger --action=change --subsystem-match=hidraw\n");
  EXPECT_NE(run.err.find("wrote " + folder_.Path("rules.d/70-pellar-1234-5678.rules")), std::string::npos);
}

TEST_F(UdevRuleCommand, InstallForAGroupThatDoesNotExistIsRefused) {
  MakeRulesFolder();
  CliRun run = Run({"1234:5678", "--group", "no-such-group-here", "--install"});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_NE(run.err.find("there is no group \"no-such-group-here\""), std::string::npos) << run.err;
  EXPECT_FALSE(folder_.Exists("rules.d/70-pellar-1234-5678.rules"));
}

TEST_F(UdevRuleCommand, InstallFailsWhenTheRuleCannotBeWritten) {
  CliRun run = Run({"1234:5678", "--install"});  // no rules folder
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_NE(run.err.find("cannot write " + folder_.Path("rules.d/70-pellar-1234-5678.rules")), std::string::npos)
      << run.err;
  EXPECT_FALSE(folder_.Exists("udevadm.log"));  // udev is not bothered for nothing
}

TEST_F(UdevRuleCommand, InstallSaysSoWhenUdevCannotBeReloaded) {
  MakeRulesFolder();
  setenv("UDEVADM_STATUS", "1", 1);
  CliRun run = Run({"1234:5678", "--install"});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_TRUE(folder_.Exists("rules.d/70-pellar-1234-5678.rules"));
  EXPECT_NE(run.err.find("udev could not be reloaded"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pellar::cli
