#pragma once

#include <string>

#include "cli/cli_app.h"
#include "cli/device_choice.h"
#include "station/unit_record.h"
#include "update/update_run.h"

namespace pellar::cli {

// `update --record FILE`: the same line for the one unit that a station writes for each of its.
// The file is opened before any device is touched, so that one that cannot be written is bad input.
class UpdateRecord {
 public:
  bool Open(const std::string& path, std::string* error) { return file_.Open(path, error); }
  // Who the chosen device is and what the list would send, just before the run.
  void Begin(CliEnvironment& environment, const DeviceChoiceOptions& choice,
             const std::string& list_path);
  // The outcome, then the line, written and synced; false when it could not be written.
  bool End(UpdateOutcome outcome, const Clock& clock);
  UnitRecord& record() { return record_; }

 private:
  RecordFile file_;
  UnitRecord record_;
  double wall_offset_ms_ = 0;
};

}  // namespace pellar::cli
