#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace pellar::docs {

// One option or argument as the manual and the completion describe it, read from the program's own
// definitions so that neither can drift from what the program takes.
struct DocumentedOption {
  std::vector<std::string> names;  // "-h", "--help"; the argument's name for a positional
  std::string value_name;          // "FILE", "VID:PID"; empty for a flag
  std::string description;
  std::vector<std::string> choices;  // the only values taken, when the option checks them
  bool positional = false;
  bool required = false;
  bool help = false;  // --help, which every command takes

  bool TakesValue() const { return !value_name.empty(); }
  // Whether a file is expected: the completion offers file names there.
  bool WantsFile() const;
};

struct DocumentedCommand {
  std::string name;  // empty for the program itself
  std::string description;
  std::vector<DocumentedOption> options;  // positionals first, in their order
};

struct DocumentedProgram {
  std::string name;
  std::string description;
  std::vector<DocumentedOption> options;  // the common options
  std::vector<DocumentedCommand> commands;
};

DocumentedProgram DescribeProgram(const CLI::App& app);

}  // namespace pellar::docs
