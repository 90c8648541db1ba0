#include "station/unit_run.h"

#include "device/device_table.h"
#include "device/trace.h"
#include "info/field_procedures.h"
#include "station/single_record.h"
#include "station/unit_hid.h"
#include "update/update_run.h"
#include "update/update_source.h"

namespace pellar {
namespace {

// The station's files, read once, as the run's entries.
class LoadedSource final : public UpdateSource {
 public:
  explicit LoadedSource(const LoadedUpdate& update) : update_(update) {}
  long long FileCount() override { return static_cast<long long>(update_.files.size()); }
  UpdateEntry Entry(long long index) override {
    return update_.files.at(static_cast<std::size_t>(index - 1)).entry;
  }
  SourceFile Load(const UpdateEntry& entry) override {
    const LoadedFile& file = update_.files.at(static_cast<std::size_t>(entry.index - 1));
    return SourceFile{HostFileStatus::kLoaded, file.bytes.data(),
                      static_cast<std::int64_t>(file.bytes.size())};
  }

 private:
  const LoadedUpdate& update_;
};

// The unit's operator and watcher: what a single update would show in a window goes into the
// slot and the record. A message while fields are read is a warning; during the update, a failure.
class UnitOperator final : public Operator, public TransferWatcher {
 public:
  UnitOperator(UnitReporter& reporter, const Clock& clock, UnitRecord& record)
      : reporter_(reporter), clock_(clock), record_(record) {}

  void StartUpdate() { updating_ = true; }

  void ShowMessage(const std::string& text) override {
    if (text == kUpdateOk) return;  // the slot's state says it
    if (!updating_) {
      reporter_.Change([&text](UnitSnapshot& unit) { unit.warnings.push_back(text); },
                       StationEvent::Kind::kWarning, text);
      return;
    }
    record_.messages.push_back(text);
    reporter_.Change([&text](UnitSnapshot& unit) { unit.messages.push_back(text); },
                     StationEvent::Kind::kMessage, text);
  }
  void SetProgress(int) override {}
  void SetStatus(const std::string&) override {}
  bool Breathe() override { return reporter_.Stopped(); }
  bool StopRequested() const override { return reporter_.Stopped(); }

  void FileStarted(const std::string& display_name, std::int64_t size) override {
    ++file_number_;
    file_started_ms_ = clock_.NowMs();
    const int number = file_number_;
    reporter_.Change(
        [&](UnitSnapshot& unit) {
          unit.file = display_name;
          unit.file_number = number;
          unit.sent = 0;
          unit.size = size;
          unit.rate = 0;
        },
        StationEvent::Kind::kFileStarted, display_name);
  }
  void DataAccepted(std::int64_t sent, std::int64_t size) override {
    const double seconds = (clock_.NowMs() - file_started_ms_) / 1000.0;
    const std::int64_t before = unit_sent_before_file_;
    reporter_.Change([&](UnitSnapshot& unit) {
      unit.sent = sent;
      unit.size = size;
      unit.unit_sent = before + sent;
      unit.rate = seconds > 0 ? static_cast<double>(sent) / seconds : 0;
      unit.seconds_left = unit.rate > 0 ? static_cast<double>(unit.unit_size - unit.unit_sent) / unit.rate : -1;
    });
  }
  void FileEnded(bool accepted) override {
    RecordedFile& file = record_.files.at(static_cast<std::size_t>(file_number_ - 1));
    file.result = accepted ? kFileSent : kFileFailed;
    if (accepted) unit_sent_before_file_ += file.size;
    const std::int64_t done = unit_sent_before_file_;
    reporter_.Change([done](UnitSnapshot& unit) { unit.unit_sent = done; });
  }
  void Pausing(int) override {
    reporter_.Change([](UnitSnapshot&) {}, StationEvent::Kind::kPausing, record_.files.at(
        static_cast<std::size_t>(file_number_ - 1)).filename);
  }

 private:
  UnitReporter& reporter_;
  const Clock& clock_;
  UnitRecord& record_;
  bool updating_ = false;
  int file_number_ = 0;
  double file_started_ms_ = 0;
  std::int64_t unit_sent_before_file_ = 0;
};

UnitRecord NewRecord(const LoadedUpdate& update, const UnitDevice& device) {
  UnitRecord record;
  record.path = device.path;
  record.port = device.port;
  record.vendor_id = device.pair.vendor_id;
  record.product_id = device.pair.product_id;
  record.manufacturer = device.manufacturer;
  record.product = device.product;
  record.list = update.list_path;
  for (const LoadedFile& file : update.files)
    record.files.push_back({file.entry.filename, file.entry.device_path,
                            static_cast<std::int64_t>(file.bytes.size()), file.sha256, kFileNotSent});
  return record;
}

void ReadFields(DeviceContext& context, const DeviceOpener& open, const StationOptions& options,
                const RecordFile* record_file, UnitRecord& record, UnitReporter& reporter) {
  for (const DeviceField* field : options.reads) {
    std::string text = ReadField(context, open, *field);
    if (text.empty()) {
      record.unread_fields.emplace_back(field->name);
      continue;
    }
    record.fields[field->name] = text;
    reporter.Change([&](UnitSnapshot& unit) { unit.fields[field->name] = text; });
  }
  auto serial = record.fields.find("SN");
  if (serial == record.fields.end() || record_file == nullptr || !record_file->PassedBefore(serial->second))
    return;
  record.repeat = true;
  const std::string warning = "SN " + serial->second + " passed before: this unit is flashed twice";
  reporter.Change([&warning](UnitSnapshot& unit) {
    unit.repeat = true;
    unit.warnings.push_back(warning);
  }, StationEvent::Kind::kWarning, warning);
}

}  // namespace

UnitRecord RunUnit(const StationParts& parts, const LoadedUpdate& update,
                   const StationOptions& options, const RecordFile* record_file,
                   const UnitDevice& device, UnitReporter& reporter, double wall_offset_ms) {
  Trace::DeviceScope traced_as(device.path);
  UnitRecord record = NewRecord(update, device);
  record.started_ms = wall_offset_ms + parts.clock.NowMs();
  UnitHid hid(parts.hid);
  UnitOperator ui(reporter, parts.clock, record);
  DeviceContext context{hid, parts.clock, ui, parts.codec};
  const std::string path = device.path;
  DeviceOpener open = [&context, path] { return OpenDevicePath(context, path); };

  ReadFields(context, open, options, record_file, record, reporter);
  ui.StartUpdate();
  UpdateRunOptions run_options;
  run_options.watcher = &ui;
  LoadedSource source(update);
  UpdateOutcome outcome = UpdateRun(context, open, source, run_options);

  SetRecordOutcome(record, outcome, reporter.Departed());
  record.ended_ms = wall_offset_ms + parts.clock.NowMs();
  return record;
}

}  // namespace pellar
