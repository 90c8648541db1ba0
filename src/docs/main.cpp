// Writes the manual page or the bash completion of one of our programs from its own option
// definitions. Run by the build; not installed.
#include <fstream>
#include <iostream>
#include <sstream>

#include "bash_completion.h"
#include "man_page.h"
#include "program_definitions.h"
#include "sim/link_options_cli.h"

namespace {

constexpr const char* kUsage =
    "usage: pellar-docs man PROGRAM TEMPLATE   (the manual page, from a roff template)\n"
    "       pellar-docs completion PROGRAM     (a bash completion script)\n";

int Fail(const std::string& message) {
  std::cerr << "pellar-docs: " << message << '\n';
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() < 2) return Fail(std::string("missing arguments\n") + kUsage);
  std::optional<pellar::docs::DocumentedProgram> program = pellar::docs::ProgramNamed(arguments[1]);
  if (!program) return Fail("no option definitions for \"" + arguments[1] + "\"");
  if (arguments[0] == "completion" && arguments.size() == 2) {
    std::cout << pellar::docs::BashCompletion(*program);
    return 0;
  }
  if (arguments[0] != "man" || arguments.size() != 3) return Fail(std::string("bad arguments\n") + kUsage);
  std::ifstream file(arguments[2], std::ios::binary);
  std::ostringstream page_template;
  page_template << file.rdbuf();
  if (!file) return Fail(arguments[2] + ": cannot be read");
  std::cout << pellar::docs::ManPage(*program, page_template.str(), pellar::kPellarVersion);
  return std::cout.good() ? 0 : 1;
}
