#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/terminal_operator.h"
#include "device/clock.h"
#include "sim/link_options_cli.h"

namespace pellar::cli {

void CommandRegistry::Add(CLI::App* subcommand, CommandAction action) {
  commands_.emplace_back(subcommand, std::move(action));
}

const CommandAction* CommandRegistry::Chosen() const {
  for (const auto& [subcommand, action] : commands_)
    if (subcommand->parsed()) return &action;
  return nullptr;
}

void DefineCli(CLI::App& app, LinkOptions& link_options, CommandRegistry& commands) {
  app.name("pellar-cli");
  app.description("Pellar: firmware update and identity fields of HID devices");
  app.require_subcommand(1);
  app.fallthrough();  // the common options may stand after the command too
  AddLinkOptions(app, link_options);
  AddListCommand(app, commands);
  AddUpdateCommand(app, commands);
  AddPackCommand(app, commands);
  AddInspectCommand(app, commands);
  AddFieldCommands(app, commands);
  AddStationCommand(app, commands);
  AddUdevRuleCommand(app, commands);
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  CLI::App app;
  LinkOptions link_options;
  CommandRegistry commands;
  DefineCli(app, link_options, commands);

  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    int status = app.exit(error, out, err);
    return status == 0 ? kExitOk : kExitUsage;
  }

  std::string problem;
  std::unique_ptr<Link> link = MakeLink(link_options, MakeRealClock(), &problem);
  if (link == nullptr) {
    err << "pellar-cli: " << problem << '\n';
    return kExitUsage;
  }
  TerminalOperator ui(err);
  DeviceContext context{link->hid(), link->clock(), ui, link->codec()};
  CliEnvironment environment{*link, ui, context, out, err};
  const CommandAction* action = commands.Chosen();
  return action != nullptr ? (*action)(environment) : kExitUsage;
}

int RunCli(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunCli(arguments, std::cout, std::cerr);
}

}  // namespace pellar::cli
