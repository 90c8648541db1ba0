#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace pellar::cli {
namespace {

using pellar::testing::CliRun;

// Two devices of one pair; the first's node is closed to this user.
constexpr const char* kDevices =
    R"({"devices":[)"
    R"({"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0xabcd","path":"/dev/hidraw4","access":false},)"
    R"({"manufacturer":"Acme","product":"Mic","vid":"0x4321","pid":"0x0001","path":"/dev/hidraw5"}]})";

struct HintCase {
  const char* name;
  std::vector<std::string> arguments;
  bool hinted;
  std::string err_has;
};

void PrintTo(const HintCase& c, std::ostream* out) { *out << c.name; }

class AccessHint : public ::testing::TestWithParam<HintCase> {};

// The window's message stays; the command line adds why and the command that lets the user in.
TEST_P(AccessHint, NamesTheFixOnlyWhenPermissionsKeptTheUserOut) {
  const HintCase& c = GetParam();
  testing::TempDir folder;
  std::vector<std::string> arguments{"--simulate", folder.Write("devices.json", kDevices)};
  arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
  CliRun run = testing::RunPellarCli(arguments);
  EXPECT_EQ(run.status, kExitFailed) << run.err;
  EXPECT_NE(run.err.find("HID open failed!\n"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("udev-rule") != std::string::npos, c.hinted) << run.err;
  EXPECT_NE(run.err.find(c.err_has), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessHint,
    ::testing::Values(
        HintCase{"ByPair", {"read", "sn", "--device", "1234:ABCD"}, true,
                 "this user may not open /dev/hidraw4 (permission denied); to allow it, run as root: "
                 "pellar-cli udev-rule 1234:abcd --install\n"},
        HintCase{"ByPath", {"read", "version", "--path", "/dev/hidraw4"}, true,
                 "pellar-cli udev-rule 1234:abcd --install"},
        HintCase{"WriteByPair", {"write", "sn", "x", "--device", "0x1234:0xabcd"}, true, "/dev/hidraw4"},
        HintCase{"NoSuchPair", {"read", "sn", "--device", "1234:9999"}, false, ""},
        HintCase{"NoSuchPath", {"read", "sn", "--path", "/dev/hidraw9"}, false, ""}));

}  // namespace
}  // namespace pellar::cli
