#pragma once

#include <string>

#include "device/device_pair.h"

namespace pellar {

// Where udev rules of the administrator live; PELLAR_UDEV_RULES_DIR stands in for it in tests.
inline constexpr const char* kUdevRulesFolder = "/etc/udev/rules.d";
std::string AccessRulesFolder();

// Whether `name` may stand in a rule as a group: letters, digits, '_', '-', '.', not starting with
// '-', at most 32 characters. Anything else could break out of the rule's quotes.
bool IsGroupName(const std::string& name);

// A udev rule giving read-write access to the hidraw nodes of this one pair, and nothing else:
// to the user at the seat (uaccess) when `group` is empty, otherwise to the members of `group`.
std::string AccessRuleText(DevicePair pair, const std::string& group);

// "70-pellar-vvvv-pppp.rules": before 73-seat-late.rules, which turns uaccess into an ACL.
std::string AccessRuleFileName(DevicePair pair);

// Writes `text` to folder/AccessRuleFileName(pair) under a temporary name first, so that udev
// never reads half a rule and an earlier rule stays whole when the write fails. False with
// *error (naming the file and the reason) on failure; *written_path is the rule's path.
bool InstallAccessRule(const std::string& folder, DevicePair pair, const std::string& text,
                       std::string* written_path, std::string* error);

}  // namespace pellar
