#include <CLI/CLI.hpp>
#include <grp.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/cli_app.h"
#include "device/access_rule.h"

namespace pellar::cli {
namespace {

struct UdevRuleOptions {
  std::string pair;
  std::string group;
  bool install = false;
};

// PELLAR_UDEVADM stands in for udevadm in tests.
std::string UdevadmProgram() {
  const char* program = std::getenv("PELLAR_UDEVADM");
  return program != nullptr && *program != '\0' ? program : "udevadm";
}

// Runs udevadm with these arguments (no shell); true when it ran and succeeded.
bool RunUdevadm(std::vector<std::string> arguments) {
  std::string program = UdevadmProgram();
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The new rule applies to devices already attached only after udev has re-read its rules and
// been told of the hidraw nodes again.
bool ReloadUdev() {
  return RunUdevadm({"control", "--reload"}) &&
         RunUdevadm({"trigger", "--action=change", "--subsystem-match=hidraw"});
}

int InstallRule(CliEnvironment& environment, DevicePair pair, const UdevRuleOptions& options,
                const std::string& text) {
  if (!options.group.empty() && getgrnam(options.group.c_str()) == nullptr) {
    environment.err << "pellar-cli: there is no group \"" << options.group << "\" on this system\n";
    return kExitUsage;
  }
  std::string path, error;
  if (!InstallAccessRule(AccessRulesFolder(), pair, text, &path, &error)) {
    environment.err << "pellar-cli: " << error << '\n';
    if (geteuid() != 0) environment.err << "pellar-cli: installing a rule needs root: sudo pellar-cli udev-rule "
                                        << options.pair << (options.group.empty() ? "" : " --group " + options.group)
                                        << " --install\n";
    return kExitFailed;
  }
  environment.err << "pellar-cli: wrote " << path << '\n';
  if (!ReloadUdev()) {
    environment.err << "pellar-cli: udev could not be reloaded; the rule applies after "
                       "\"udevadm control --reload && udevadm trigger --subsystem-match=hidraw\" "
                       "or a reboot\n";
    return kExitFailed;
  }
  environment.err << "pellar-cli: udev reloaded; unplug and replug the device if it is still not accessible\n";
  return kExitOk;
}

int UdevRule(CliEnvironment& environment, const UdevRuleOptions& options) {
  std::optional<DevicePair> pair = ParseDevicePair(options.pair);
  if (!pair) {
    environment.err << "pellar-cli: udev-rule takes VID:PID in hexadecimal, e.g. 1234:5678, not \""
                    << options.pair << "\"\n";
    return kExitUsage;
  }
  if (!options.group.empty() && !IsGroupName(options.group)) {
    environment.err << "pellar-cli: \"" << options.group << "\" is not a group name\n";
    return kExitUsage;
  }
  std::string text = AccessRuleText(*pair, options.group);
  if (!options.install) {
    environment.out << text;
    return kExitOk;
  }
  return InstallRule(environment, *pair, options, text);
}

}  // namespace

void AddUdevRuleCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* rule = app.add_subcommand(
      "udev-rule", "Print (or install) a udev rule that lets a normal user open one kind of device");
  auto options = std::make_shared<UdevRuleOptions>();
  rule->add_option("VID:PID", options->pair, "The device's vendor and product id in hex")->required();
  rule->add_option("--group", options->group,
                   "Give the members of this group access instead of the user at the seat")
      ->type_name("GROUP");
  rule->add_flag("--install", options->install,
                 "Write the rule to " + std::string(kUdevRulesFolder) +
                     " and reload udev (as root) instead of printing it");
  commands.Add(rule, [options](CliEnvironment& environment) { return UdevRule(environment, *options); });
}

}  // namespace pellar::cli
