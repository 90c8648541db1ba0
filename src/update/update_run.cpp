#include "update/update_run.h"

#include <memory>
#include <new>

#include "update/host_file.h"
#include "update/ota_transfer.h"
#include "update/update_list.h"
#include "update/update_source.h"

namespace pellar {
namespace {

enum class EntryResult { kSent, kFailed, kCancelled };

// The list file, read afresh as the run goes whenever it changes, and each file read from disk into the run's buffer.
class ListFileSource final : public UpdateSource {
 public:
  ListFileSource(DeviceContext& context, const std::string& list_path,
                 const UpdateRunOptions& options, std::uint8_t* buffer)
      : context_(context), list_path_(list_path), list_(list_path), buffer_(buffer),
        executable_dir_(options.executable_dir.empty() ? ExecutableDirectory() : options.executable_dir) {}

  long long FileCount() override { return list_.FileCount(); }
  UpdateEntry Entry(long long index) override { return list_.Entry(index); }
  SourceFile Load(const UpdateEntry& entry) override {
    HostFile file = LoadHostFile(
        HostPathCandidates(entry.filename, executable_dir_, list_path_, context_.codec), buffer_,
        kTransferBufferSize);
    return SourceFile{file.status, buffer_, file.size};
  }

 private:
  DeviceContext& context_;
  const std::string& list_path_;
  UpdateListFile list_;
  std::uint8_t* buffer_;
  std::string executable_dir_;
};

// One run over an open device and its source.
class UpdateRunner {
 public:
  UpdateRunner(DeviceContext& context, DeviceHandle device, UpdateSource& source,
               const UpdateRunOptions& options)
      : context_(context), device_(device), source_(source), options_(options) {}

  UpdateOutcome Run() {
    int last_result = -1;
    const long long count = source_.FileCount();
    for (long long index = 1; index <= count; ++index) {
      // A stop met outside a data packet (in a status step, say) must not let a next file start.
      if (index > 1 && context_.ui.StopRequested()) return UpdateOutcome::kCancelled;
      EntryResult result = SendEntry(source_.Entry(index));
      if (result == EntryResult::kFailed) return UpdateOutcome::kFailed;
      if (result == EntryResult::kCancelled) return UpdateOutcome::kCancelled;
      last_result = 0;
    }
    return last_result == 0 ? UpdateOutcome::kSucceeded : UpdateOutcome::kNoFiles;
  }

 private:
  EntryResult SendEntry(const UpdateEntry& entry) {
    Operator& ui = context_.ui;
    ui.SetProgress(0);
    ui.SetStatus("update " + entry.DisplayName() + " ...");
    SourceFile file = source_.Load(entry);
    if (file.status != HostFileStatus::kLoaded) {
      ui.ShowMessage(HostFileMessage(file.status));
      return EntryResult::kFailed;
    }
    const char* name_problem = nullptr;
    std::optional<std::string> device_name =
        EncodeDeviceName(entry.device_path, context_.codec, &name_problem);
    if (!device_name) {
      ui.ShowMessage(name_problem);
      return EntryResult::kFailed;
    }
    TransferWatcher* watcher = options_.watcher;
    if (watcher != nullptr) watcher->FileStarted(entry.DisplayName(), file.size);
    OtaTransferReport report;
    int result = OtaTransfer(context_, device_, file.data, static_cast<std::int32_t>(file.size),
                             *device_name, &report, watcher);
    if (watcher != nullptr) watcher->FileEnded(result == 0 && !report.cut_short);
    // A file cut short is not on the device whole: the run ends without a message of its own.
    if (report.cut_short) {
      ui.SetProgress(0);
      return EntryResult::kCancelled;
    }
    if (result != 0) {
      ui.ShowMessage("update " + entry.filename + " failed ");
      ui.SetProgress(0);
      return EntryResult::kFailed;
    }
    ui.SetProgress(100);
    if (entry.PausesAfter()) {
      if (watcher != nullptr) watcher->Pausing(kLzmaPauseMs);
      // The file is on the device, but a stop during the pause ends the run at once: the device
      // is still unpacking, and no later file may follow.
      if (context_.clock.SleepUnless(kLzmaPauseMs, [&ui] { return ui.StopRequested(); }))
        return EntryResult::kCancelled;
    }
    return EntryResult::kSent;
  }

  DeviceContext& context_;
  DeviceHandle device_;
  UpdateSource& source_;
  const UpdateRunOptions& options_;
};

// Everything after the device was opened and the source is ready: the entries, the release of the
// device and the closing messages.
UpdateOutcome RunAndFinish(DeviceContext& context, DeviceHandle device, UpdateSource& source,
                           const UpdateRunOptions& options, std::unique_ptr<std::uint8_t[]> buffer) {
  Operator& ui = context.ui;
  UpdateOutcome outcome = UpdateRunner(context, device, source, options).Run();
  buffer.reset();
  CloseDevice(context.hid, device);
  if (outcome != UpdateOutcome::kSucceeded) {
    // Failures have shown their messages and left the bar at 0.
    ui.SetStatus("");
    return outcome;
  }
  ui.SetProgress(100);
  ui.SetStatus(kUpdateFinished);
  ui.ShowMessage(kUpdateOk);
  ui.SetProgress(0);
  ui.SetStatus("");
  return outcome;
}

}  // namespace

UpdateOutcome UpdateRun(DeviceContext& context, const DeviceOpener& open_device,
                        const std::string& update_list_path, const UpdateRunOptions& options) {
  Operator& ui = context.ui;
  ui.SetProgress(0);
  DeviceHandle device = open_device();
  if (device == nullptr) return UpdateOutcome::kFailed;
  if (update_list_path.empty()) {
    ui.ShowMessage(kListPathEmpty);
    CloseDevice(context.hid, device);
    return UpdateOutcome::kFailed;
  }
  // Left uninitialised: only the bytes of each file are ever touched.
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kTransferBufferSize]);
  if (buffer == nullptr) {
    ui.ShowMessage(kBufferUnavailable);
    CloseDevice(context.hid, device);
    return UpdateOutcome::kFailed;
  }
  ListFileSource source(context, update_list_path, options, buffer.get());
  return RunAndFinish(context, device, source, options, std::move(buffer));
}

UpdateOutcome UpdateRun(DeviceContext& context, const DeviceOpener& open_device,
                        UpdateSource& source, const UpdateRunOptions& options) {
  context.ui.SetProgress(0);
  DeviceHandle device = open_device();
  if (device == nullptr) return UpdateOutcome::kFailed;
  return RunAndFinish(context, device, source, options, nullptr);
}

}  // namespace pellar
