#include "program_definitions.h"

#include <CLI/CLI.hpp>

#include "cli/cli_app.h"
#include "window_option_definitions.h"
#ifdef PELLAR_DOCS_STATION
#include "station_options.h"
#endif

namespace pellar::docs {

std::optional<DocumentedProgram> ProgramNamed(const std::string& name) {
  CLI::App app;
  LinkOptions link_options;
  if (name == "pellar-cli") {
    cli::CommandRegistry commands;
    cli::DefineCli(app, link_options, commands);
    return DescribeProgram(app);
  }
  if (name == "pellar") {
    DefineWindowOptions(app, link_options);
    return DescribeProgram(app);
  }
#ifdef PELLAR_DOCS_STATION
  if (name == "pellar-station") {
    StationWindowOptions options;
    DefineStationOptions(app, options);
    return DescribeProgram(app);
  }
#endif
  return std::nullopt;
}

}  // namespace pellar::docs
