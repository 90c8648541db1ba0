#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/device_choice.h"
#include "info/device_field.h"
#include "info/field_procedures.h"

namespace pellar::cli {
namespace {

std::vector<std::string> FieldNames(bool writable_only) {
  std::vector<std::string> names;
  for (const DeviceField& field : kDeviceFields)
    if (!writable_only || field.write) names.emplace_back(field.cli_name);
  return names;
}

const DeviceField& FieldNamed(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return *FindDeviceField(name);  // the option's check admits only the table's names
}

// The help lists the names that the check admits.
CLI::Option* AddFieldArgument(CLI::App* command, std::string& name, bool writable_only) {
  std::vector<std::string> names = FieldNames(writable_only);
  return command->add_option("FIELD", name, "The field, in upper or lower case")
      ->required()
      ->check(CLI::IsMember(names, CLI::ignore_case));
}

// The device of the command's --device/--path, or null after saying why there is none.
DeviceOpener ChooseDevice(CliEnvironment& environment, const DeviceChoiceOptions& choice) {
  std::string problem;
  DeviceOpener open = MakeDeviceOpener(environment, choice, &problem);
  if (!open) environment.err << "pellar-cli: " << problem << '\n';
  return open;
}

void AddReadCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* read = app.add_subcommand("read", "Print a field of the device (or its version)");
  auto name = std::make_shared<std::string>();
  AddFieldArgument(read, *name, false);
  std::shared_ptr<DeviceChoiceOptions> choice = AddDeviceChoiceOptions(read);
  commands.Add(read, [name, choice](CliEnvironment& environment) {
    DeviceOpener open = ChooseDevice(environment, *choice);
    if (!open) return kExitFailed;
    std::string text = ReadField(environment.context, open, FieldNamed(*name));
    if (text.empty()) return kExitFailed;  // the failure has been shown
    environment.out << text << '\n';
    return kExitOk;
  });
}

void AddWriteCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* write = app.add_subcommand("write", "Write a field of the device");
  auto name = std::make_shared<std::string>();
  auto value = std::make_shared<std::string>();
  AddFieldArgument(write, *name, true);
  write->add_option("VALUE", *value, "The text to write, sent in the wire encoding")->required();
  std::shared_ptr<DeviceChoiceOptions> choice = AddDeviceChoiceOptions(write);
  commands.Add(write, [name, value, choice](CliEnvironment& environment) {
    DeviceOpener open = ChooseDevice(environment, *choice);
    if (!open) return kExitFailed;
    bool written = WriteField(environment.context, open, FieldNamed(*name), *value);
    return written ? kExitOk : kExitFailed;
  });
}

}  // namespace

void AddFieldCommands(CLI::App& app, CommandRegistry& commands) {
  AddReadCommand(app, commands);
  AddWriteCommand(app, commands);
}

}  // namespace pellar::cli
