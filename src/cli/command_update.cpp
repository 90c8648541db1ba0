#include <CLI/CLI.hpp>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "cli/cli_app.h"
#include "cli/device_choice.h"
#include "cli/text_table.h"
#include "cli/update_progress.h"
#include "cli/update_record.h"
#include "station/single_record.h"
#include "update/update_list.h"
#include "update/update_plan.h"
#include "update/update_run.h"

namespace pellar::cli {
namespace {

struct UpdateOptions {
  std::string list_path;
  bool check = false;
  std::string record_path;
  std::shared_ptr<DeviceChoiceOptions> device;
};

std::string Seconds(std::int64_t milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(milliseconds) / 1000);
  return text;
}

// The plan on stdout, the problems on stderr; success only when the update would succeed.
int CheckUpdate(CliEnvironment& environment, const std::string& list_path) {
  UpdatePlan plan = PlanUpdate(list_path, environment.link.codec(), ExecutableDirectory());
  std::vector<std::vector<std::string>> rows{
      {"#", "host path", "display name", "device file name", "size", "packets", "pacing"}};
  for (const PlannedEntry& planned : plan.entries) {
    bool found = planned.size >= 0;
    rows.push_back({std::to_string(planned.entry.index), planned.host_path,
                    planned.entry.DisplayName(), planned.entry.device_path,
                    found ? std::to_string(planned.size) : "-", found ? std::to_string(planned.packets) : "-",
                    found ? Seconds(planned.pacing_ms) : "-"});
  }
  environment.out << "update list " << list_path << ": file_num " << plan.file_count << '\n';
  if (!plan.entries.empty()) PrintAligned(rows, environment.out);
  environment.out << "total: " << plan.TotalBytes() << " bytes in " << plan.TotalPackets()
                  << " packets; the pacing alone takes " << Seconds(plan.TotalPacingMs()) << '\n';
  if (plan.WouldSucceed()) return kExitOk;
  environment.err << "the update would fail:\n";
  for (const std::string& problem : plan.problems) environment.err << "  " << problem << '\n';
  for (const PlannedEntry& planned : plan.entries)
    for (const std::string& problem : planned.problems) environment.err << "  " << problem << '\n';
  return kExitFailed;
}

int ExitStatusOf(CliEnvironment& environment, UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::kSucceeded:
      return kExitOk;
    case UpdateOutcome::kCancelled:
      environment.err << "pellar-cli: update cancelled; the file cut short is not whole on the device\n";
      return kExitCancelled;
    case UpdateOutcome::kNoFiles:
      environment.err << "pellar-cli: the update list names no files; nothing was sent\n";
      return kExitFailed;
    case UpdateOutcome::kFailed:
      break;
  }
  return kExitFailed;
}

int RunUpdate(CliEnvironment& environment, const UpdateOptions& options) {
  std::unique_ptr<UpdateRecord> record;
  if (!options.record_path.empty()) {
    record = std::make_unique<UpdateRecord>();
    std::string error;
    if (!record->Open(options.record_path, &error)) {
      environment.err << "pellar-cli: " << error << '\n';
      return kExitUsage;
    }
  }
  bool terminal = &environment.err == &std::cerr && isatty(STDERR_FILENO) != 0;
  UpdateProgress progress(environment.err, terminal, environment.link.clock());
  std::unique_ptr<SingleUpdateRecorder> recorder;
  if (record) recorder = std::make_unique<SingleUpdateRecorder>(progress, &progress, record->record());
  Operator& ui = recorder ? static_cast<Operator&>(*recorder) : progress;
  DeviceContext context{environment.link.hid(), environment.link.clock(), ui, environment.link.codec()};
  CliEnvironment update_environment{environment.link, ui, context, environment.out, environment.err};
  std::string problem;
  DeviceOpener opener = MakeDeviceOpener(update_environment, *options.device, &problem);
  if (!opener) {
    environment.err << "pellar-cli: " << problem << '\n';
    return kExitFailed;
  }
  if (record) record->Begin(update_environment, *options.device, options.list_path);
  TerminalOperator::CatchInterrupt();
  // Every packet waits 30 ms and 5 ms; the kernel's default timer slack of 50 us would lengthen
  // each of the thousands of waits of a large update. The waits stay at least as long as given.
  prctl(PR_SET_TIMERSLACK, 1UL);
  UpdateRunOptions run_options;
  if (recorder) run_options.watcher = recorder.get();
  else run_options.watcher = &progress;
  const UpdateOutcome outcome = UpdateRun(context, opener, options.list_path, run_options);
  if (record && !record->End(outcome, environment.link.clock()))
    environment.err << "pellar-cli: warning: the record could not be written to " << options.record_path
                    << '\n';
  return ExitStatusOf(environment, outcome);
}

}  // namespace

void AddUpdateCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* update = app.add_subcommand("update", "Send the files of an update list to the device");
  auto options = std::make_shared<UpdateOptions>();
  update->add_option("LISTFILE", options->list_path, "The update list (INI) naming the files to send")
      ->required();
  update->add_flag("--check", options->check,
                   "Print the plan and every problem without touching any device");
  update->add_option("--record", options->record_path,
                     "Append one JSON line for this unit to this file, as the station does")
      ->type_name("FILE");
  options->device = AddDeviceChoiceOptions(update);
  commands.Add(update, [options](CliEnvironment& environment) {
    return options->check ? CheckUpdate(environment, options->list_path)
                          : RunUpdate(environment, *options);
  });
}

}  // namespace pellar::cli
