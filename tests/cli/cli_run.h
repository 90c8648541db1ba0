#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

namespace pellar::testing {

// What one run of the command line gave: its exit status and what it printed.
struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Runs pellar-cli in this process with these arguments.
inline CliRun RunPellarCli(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  int status = cli::RunCli(arguments, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace pellar::testing
