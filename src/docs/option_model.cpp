#include "option_model.h"

#include <CLI/CLI.hpp>

namespace pellar::docs {
namespace {

// "{sn,pid,vid}" as a check's description lists what it admits.
std::vector<std::string> ChoicesIn(const std::string& type_name) {
  std::vector<std::string> choices;
  std::size_t open = type_name.find(":{");
  std::size_t close = type_name.rfind('}');
  if (open == std::string::npos || close == std::string::npos || close < open) return choices;
  std::string list = type_name.substr(open + 2, close - open - 2);
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    if (comma > start) choices.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return choices;
}

DocumentedOption Describe(const CLI::Option& option, const CLI::Option* help) {
  DocumentedOption described;
  described.positional = option.get_positional() && option.get_lnames().empty() && option.get_snames().empty();
  if (described.positional) {
    described.names.push_back(option.get_name(true));
  } else {
    for (const std::string& name : option.get_snames()) described.names.push_back("-" + name);
    for (const std::string& name : option.get_lnames()) described.names.push_back("--" + name);
  }
  const std::string type_name = option.get_type_name();
  // A flag has no type name; a check's description follows the type name after ":".
  if (described.positional) {
    described.value_name = option.get_name(true);
  } else if (!type_name.empty()) {
    described.value_name = type_name.substr(0, type_name.find(":{"));
  }
  described.description = option.get_description();
  described.choices = ChoicesIn(type_name);
  described.required = option.get_required();
  described.help = &option == help;
  return described;
}

std::vector<DocumentedOption> DescribeOptions(const CLI::App& app) {
  std::vector<DocumentedOption> positionals, named;
  for (const CLI::Option* option : app.get_options()) {
    DocumentedOption described = Describe(*option, app.get_help_ptr());
    (described.positional ? positionals : named).push_back(std::move(described));
  }
  positionals.insert(positionals.end(), named.begin(), named.end());
  return positionals;
}

}  // namespace

bool DocumentedOption::WantsFile() const { return value_name.find("FILE") != std::string::npos; }

DocumentedProgram DescribeProgram(const CLI::App& app) {
  DocumentedProgram program{app.get_name(), app.get_description(), DescribeOptions(app), {}};
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
    program.commands.push_back({command->get_name(), command->get_description(), DescribeOptions(*command)});
  return program;
}

}  // namespace pellar::docs
