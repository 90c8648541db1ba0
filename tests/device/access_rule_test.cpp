#include "device/access_rule.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace pellar {
namespace {

struct RuleCase {
  const char* name;
  DevicePair pair;
  std::string group;
  std::string rule_line;
};

void PrintTo(const RuleCase& c, std::ostream* out) { *out << c.name; }

class AccessRule : public ::testing::TestWithParam<RuleCase> {};

// Only the hidraw nodes of the one pair, in lower-case hex, and only to the seat's user or the group.
TEST_P(AccessRule, GrantsOnePairOnly) {
  const RuleCase& c = GetParam();
  std::string text = AccessRuleText(c.pair, c.group);
  ASSERT_EQ(text.front(), '#') << text;
  std::string rule = text.substr(text.find('\n') + 1);
  EXPECT_EQ(rule, c.rule_line + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccessRule,
    ::testing::Values(
        RuleCase{"SeatUser", {0x1234, 0x5678}, "",
                 R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="1234", ATTRS{idProduct}=="5678", TAG+="uaccess")"},
        RuleCase{"LowerCaseHexPadded", {0xABCD, 0x00ef}, "",
                 R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="abcd", ATTRS{idProduct}=="00ef", TAG+="uaccess")"},
        RuleCase{"Group", {0x1234, 0x5678}, "plugdev",
                 R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="1234", ATTRS{idProduct}=="5678", MODE="0660", GROUP="plugdev")"}));

TEST(AccessRuleFile, IsNamedAfterThePairBeforeTheSeatRules) {
  EXPECT_EQ(AccessRuleFileName({0x1234, 0xABCD}), "70-pellar-1234-abcd.rules");
}

TEST(AccessRuleGroup, AdmitsOnlyNamesThatCannotLeaveTheQuotes) {
  for (const char* good : {"plugdev", "dialout", "line_1", "op-team", "a.b", "Operators"})
    EXPECT_TRUE(IsGroupName(good)) << good;
  for (const char* bad : {"", "-x", "a\"b", "a b", "a,MODE=\"0666\"", "a\nb", "abcdefghijklmnopqrstuvwxyz0123456"})
    EXPECT_FALSE(IsGroupName(bad)) << bad;
}

TEST(AccessRuleInstall, WritesTheRuleWholeAndReadableByUdev) {
  testing::TempDir folder;
  folder.Write("70-pellar-1234-5678.rules", "an older rule\n");
  std::string path, error;
  std::string text = AccessRuleText({0x1234, 0x5678}, "");
  ASSERT_TRUE(InstallAccessRule(folder.path().string(), {0x1234, 0x5678}, text, &path, &error)) << error;
  EXPECT_EQ(path, folder.Path("70-pellar-1234-5678.rules"));
  EXPECT_EQ(folder.Read("70-pellar-1234-5678.rules"), text);
  EXPECT_EQ(folder.Names(), std::set<std::string>{"70-pellar-1234-5678.rules"});  // no temporary left
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST(AccessRuleInstall, FailsWithTheFileAndReasonWhenTheFolderIsMissing) {
  testing::TempDir folder;
  std::string path, error;
  std::string missing = folder.Path("no-such-folder");
  EXPECT_FALSE(InstallAccessRule(missing, {0x1234, 0x5678}, "x\n", &path, &error));
  EXPECT_NE(error.find(missing + "/70-pellar-1234-5678.rules"), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(AccessRulesFolder, IsEtcUnlessOverriddenForTests) {
  unsetenv("PELLAR_UDEV_RULES_DIR");
  EXPECT_EQ(AccessRulesFolder(), "/etc/udev/rules.d");
  setenv("PELLAR_UDEV_RULES_DIR", "/tmp/rules", 1);
  EXPECT_EQ(AccessRulesFolder(), "/tmp/rules");
  unsetenv("PELLAR_UDEV_RULES_DIR");
}

}  // namespace
}  // namespace pellar
