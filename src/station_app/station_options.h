#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "sim/link_factory.h"
#include "station/station.h"

namespace CLI {
class App;
}

namespace pellar {

inline constexpr int kStationExitOk = 0;
inline constexpr int kStationExitUsage = 2;

// What `pellar-station` is started with. The list and the match may also be chosen in the window.
struct StationWindowOptions {
  LinkOptions link;
  std::string list_path;           // empty: chosen in the window
  std::string match;               // "VID:PID"; empty: chosen in the window
  std::vector<std::string> ports;  // only devices in these USB ports; empty: any
  std::string record_path;         // empty: the day's file in the user's data folder
};

// Every option of `pellar-station` on `app`, filled into `options` when `app` is parsed. Runs
// nothing, so that the manual can be generated from the same definitions.
void DefineStationOptions(CLI::App& app, StationWindowOptions& options);

// Parses `arguments` (without the program's name). Nullopt when the program must end before any
// window shows: *status is then 0 after --help or --version, or 2 after a bad option, whose message
// went to `err`.
std::optional<StationWindowOptions> ParseStationOptions(const std::vector<std::string>& arguments,
                                                        std::ostream& out, std::ostream& err,
                                                        int* status);

// The match, or nullopt with *error naming the problem.
std::optional<DevicePair> ParseMatch(const std::string& text, std::string* error);

}  // namespace pellar
