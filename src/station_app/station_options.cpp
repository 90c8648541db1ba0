#include "station_options.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "sim/link_options_cli.h"

namespace pellar {

void DefineStationOptions(CLI::App& app, StationWindowOptions& options) {
  app.description("Pellar Station: flash every attached device of one VID:PID at once");
  app.name("pellar-station");
  AddLinkOptions(app, options.link);
  app.add_option("--list", options.list_path, "The update list (INI) naming the files to send")
      ->type_name("FILE");
  app.add_option("--match", options.match, "Flash only devices of this VID:PID (hex)")
      ->type_name("VID:PID");
  app.add_option("--ports", options.ports, "Flash only devices in these USB ports, e.g. 1-2.3")
      ->delimiter(',')
      ->type_name("PORT,...");
  app.add_option("--record", options.record_path,
                 "Append one JSON line per unit to this file (default: "
                 "station-DATE.jsonl in the user's data folder)")
      ->type_name("FILE");
}

std::optional<DevicePair> ParseMatch(const std::string& text, std::string* error) {
  std::optional<DevicePair> pair = ParseDevicePair(text);
  if (!pair) *error = "--match takes VID:PID in hexadecimal, e.g. 1234:5678, not \"" + text + "\"";
  return pair;
}

std::optional<StationWindowOptions> ParseStationOptions(const std::vector<std::string>& arguments,
                                                        std::ostream& out, std::ostream& err,
                                                        int* status) {
  CLI::App app;
  StationWindowOptions options;
  DefineStationOptions(app, options);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    *status = app.exit(error, out, err) == 0 ? kStationExitOk : kStationExitUsage;
    return std::nullopt;
  }
  std::string problem;
  if (!options.match.empty() && !ParseMatch(options.match, &problem)) {
    err << "pellar-station: " << problem << '\n';
    *status = kStationExitUsage;
    return std::nullopt;
  }
  *status = kStationExitOk;
  return options;
}

}  // namespace pellar
