#pragma once

#include <string>
#include <vector>

#include "device/operator.h"
#include "station/unit_record.h"
#include "update/transfer_watcher.h"
#include "update/update_plan.h"
#include "update/update_run.h"

namespace pellar {

// Keeps what a single update did for its line in the record, the same line a station unit gets,
// while passing every call on to the operator and watcher that show the run.
class SingleUpdateRecorder final : public Operator, public TransferWatcher {
 public:
  SingleUpdateRecorder(Operator& shown, TransferWatcher* watched, UnitRecord& record)
      : shown_(shown), watched_(watched), record_(record) {}

  void ShowMessage(const std::string& text) override;
  void SetProgress(int position) override { shown_.SetProgress(position); }
  void SetStatus(const std::string& text) override { shown_.SetStatus(text); }
  bool Breathe() override { return shown_.Breathe(); }
  bool StopRequested() const override { return shown_.StopRequested(); }

  void FileStarted(const std::string& display_name, std::int64_t size) override;
  void DataAccepted(std::int64_t sent, std::int64_t size) override;
  void FileEnded(bool accepted) override;
  void Pausing(int milliseconds) override;

 private:
  Operator& shown_;
  TransferWatcher* watched_;
  UnitRecord& record_;
  std::size_t file_number_ = 0;
};

// The record's files as the plan finds them, each with the SHA-256 of its bytes as they are now.
std::vector<RecordedFile> PlannedRecordFiles(const UpdatePlan& plan);

// The unit's result from the run's outcome. A file whose data a stop cut short is not whole on the
// device, whatever its status said; a device that left during the run failed.
void SetRecordOutcome(UnitRecord& record, UpdateOutcome outcome, bool departed);

}  // namespace pellar
