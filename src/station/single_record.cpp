#include "station/single_record.h"

#include "station/loaded_update.h"
#include "update/host_file.h"

namespace pellar {

void SingleUpdateRecorder::ShowMessage(const std::string& text) {
  if (text != kUpdateOk) record_.messages.push_back(text);
  shown_.ShowMessage(text);
}

void SingleUpdateRecorder::FileStarted(const std::string& display_name, std::int64_t size) {
  ++file_number_;
  if (watched_ != nullptr) watched_->FileStarted(display_name, size);
}

void SingleUpdateRecorder::DataAccepted(std::int64_t sent, std::int64_t size) {
  if (watched_ != nullptr) watched_->DataAccepted(sent, size);
}

void SingleUpdateRecorder::FileEnded(bool accepted) {
  if (file_number_ >= 1 && file_number_ <= record_.files.size())
    record_.files[file_number_ - 1].result = accepted ? kFileSent : kFileFailed;
  if (watched_ != nullptr) watched_->FileEnded(accepted);
}

void SingleUpdateRecorder::Pausing(int milliseconds) {
  if (watched_ != nullptr) watched_->Pausing(milliseconds);
}

std::vector<RecordedFile> PlannedRecordFiles(const UpdatePlan& plan) {
  std::vector<RecordedFile> files;
  for (const PlannedEntry& planned : plan.entries) {
    RecordedFile file{planned.entry.filename, planned.entry.device_path, planned.size, "", kFileNotSent};
    if (planned.size >= 0) {
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(planned.size));
      HostFile read = LoadHostFile({planned.host_path}, bytes.data(), bytes.size());
      if (read.status == HostFileStatus::kLoaded)
        file.sha256 = Sha256Hex(bytes.data(), static_cast<std::size_t>(read.size));
    }
    files.push_back(std::move(file));
  }
  return files;
}

void SetRecordOutcome(UnitRecord& record, UpdateOutcome outcome, bool departed) {
  switch (outcome) {
    case UpdateOutcome::kSucceeded: record.result = "passed"; break;
    case UpdateOutcome::kCancelled: record.result = "cancelled"; break;
    case UpdateOutcome::kFailed:
    case UpdateOutcome::kNoFiles: record.result = "failed"; break;
  }
  if (departed && outcome != UpdateOutcome::kSucceeded) {
    record.result = "failed";
    record.messages.emplace_back("the device was unplugged during the update");
  }
  if (outcome == UpdateOutcome::kCancelled)
    for (RecordedFile& file : record.files)
      if (file.result == kFileFailed) file.result = kFileCutShort;
}

}  // namespace pellar
