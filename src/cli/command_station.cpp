#include <CLI/CLI.hpp>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

#include "cli/cli_app.h"
#include "cli/station_display.h"
#include "cli/stop_signals.h"
#include "info/device_field.h"
#include "station/station.h"
#include "update/update_list.h"

namespace pellar::cli {
namespace {

constexpr int kRedrawEveryMs = 200;

struct StationCommandOptions {
  std::string list_path;
  std::string match;
  std::vector<std::string> ports;
  bool once = false;
  std::string record_path;
  std::vector<std::string> reads;
};

std::vector<const DeviceField*> FieldsNamed(const std::vector<std::string>& names) {
  std::vector<const DeviceField*> fields;
  for (std::string name : names) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fields.push_back(FindDeviceField(name));  // the option's check admits only the table's names
  }
  return fields;
}

// Runs until every unit has ended (--once) or until a stop signal; the signal cuts units short.
void RunUntilDone(Station& station, StationDisplay& display, bool once) {
  while (true) {
    display.Draw(station);
    if (StopSignalled()) break;
    if (once) {
      if (station.WaitUntilIdleFor(kRedrawEveryMs)) break;  // at once when the last unit ends
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(kRedrawEveryMs));
    }
  }
  station.Stop();
  station.WaitUntilIdle();
}

int ExitStatus(const Station& station) {
  if (StopSignalled()) return StopSignalExitStatus();
  StationCounters counters = station.Counters();
  return counters.failed > 0 || counters.cancelled > 0 ? kExitFailed : kExitOk;
}

int RunStation(CliEnvironment& environment, const StationCommandOptions& options) {
  std::optional<DevicePair> match = ParseDevicePair(options.match);
  if (!match) {
    environment.err << "pellar-cli: --match takes VID:PID in hexadecimal, e.g. 1234:5678, not \""
                    << options.match << "\"\n";
    return kExitUsage;
  }
  std::vector<std::string> problems;
  std::optional<LoadedUpdate> update =
      LoadUpdate(options.list_path, environment.link.codec(), ExecutableDirectory(), &problems);
  if (!update) {
    environment.err << "pellar-cli: the update list cannot be sent:\n";
    for (const std::string& problem : problems) environment.err << "  " << problem << '\n';
    return kExitUsage;
  }
  StationOptions station_options{*match, options.ports, options.record_path, FieldsNamed(options.reads)};
  const bool terminal = &environment.err == &std::cerr && isatty(STDERR_FILENO) != 0;
  StationDisplay display(environment.err, terminal);
  Station station({environment.link.hid(), environment.link.clock(), environment.link.system(),
                   environment.link.codec()},
                  std::make_shared<const LoadedUpdate>(std::move(*update)), station_options, &display);
  std::string error;
  if (!station.Begin(&error)) {
    environment.err << "pellar-cli: " << error << '\n';
    return kExitUsage;
  }
  CatchStopSignals();
  if (options.once) {
    station.Rescan();
    if (station.StartIdle() == 0) {
      environment.err << "pellar-cli: no device " << options.match << " is attached"
                      << (options.ports.empty() ? "" : " in the given ports") << "; nothing was flashed\n";
      station.End();
      return kExitFailed;
    }
  } else {
    station.SetAutoStart(true);
    station.Watch();
    station.Rescan();
  }
  RunUntilDone(station, display, options.once);
  station.End();
  display.Finish(station);
  return ExitStatus(station);
}

}  // namespace

void AddStationCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* station = app.add_subcommand(
      "station", "Flash every attached device of one VID:PID at once, each by its USB port");
  auto options = std::make_shared<StationCommandOptions>();
  station->add_option("LISTFILE", options->list_path, "The update list (INI) naming the files to send")
      ->required();
  station->add_option("--match", options->match, "Flash only devices of this VID:PID (hex)")
      ->required()
      ->type_name("VID:PID");
  station->add_option("--ports", options->ports, "Flash only devices in these USB ports, e.g. 1-2.3")
      ->delimiter(',')
      ->type_name("PORT,...");
  station->add_flag("--once", options->once,
                    "Flash the devices attached now, then end (otherwise keep watching for arrivals)");
  station->add_option("--record", options->record_path,
                      "Append one JSON line per unit to this file")->type_name("FILE");
  std::vector<std::string> names;
  names.reserve(kDeviceFields.size());
  for (const DeviceField& field : kDeviceFields) names.emplace_back(field.cli_name);
  station->add_option("--read", options->reads,
                      "Read this identity field before the update, into the record (repeatable)")
      ->check(CLI::IsMember(names, CLI::ignore_case))
      ->type_name("FIELD");
  commands.Add(station, [options](CliEnvironment& environment) { return RunStation(environment, *options); });
}

}  // namespace pellar::cli
