#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "device/device_context.h"
#include "device/operator.h"
#include "sim/link_factory.h"

namespace CLI {
class App;
}

namespace pellar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCancelled = 130;

// What a command runs with once the options are parsed and the link is made.
struct CliEnvironment {
  Link& link;
  Operator& ui;
  DeviceContext& context;  // the link and the operator, as core operations take them
  std::ostream& out;
  std::ostream& err;
};

using CommandAction = std::function<int(CliEnvironment&)>;

// The commands register their subcommand and the action it runs.
class CommandRegistry {
 public:
  void Add(CLI::App* subcommand, CommandAction action);
  // The action of the subcommand that was parsed, or null.
  const CommandAction* Chosen() const;

 private:
  std::vector<std::pair<CLI::App*, CommandAction>> commands_;
};

// Registers every command and option of pellar-cli on `app` without running anything: the program
// parses with it, and its manual and completion are written from it.
void DefineCli(CLI::App& app, LinkOptions& link_options, CommandRegistry& commands);

// Parses, makes the link, runs the chosen command; returns the exit status.
int RunCli(int argc, char** argv);
// The same with explicit streams, for tests.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// One function per command file.
void AddListCommand(CLI::App& app, CommandRegistry& commands);
void AddUpdateCommand(CLI::App& app, CommandRegistry& commands);
void AddPackCommand(CLI::App& app, CommandRegistry& commands);
void AddInspectCommand(CLI::App& app, CommandRegistry& commands);
void AddFieldCommands(CLI::App& app, CommandRegistry& commands);  // read, write
void AddStationCommand(CLI::App& app, CommandRegistry& commands);
void AddUdevRuleCommand(CLI::App& app, CommandRegistry& commands);

}  // namespace pellar::cli
