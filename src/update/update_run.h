#pragma once

#include <string>

#include "device/device_context.h"
#include "device/device_table.h"
#include "update/transfer_watcher.h"
#include "update/update_source.h"

namespace pellar {

inline constexpr const char* kListPathEmpty = "the file name is empty!";
inline constexpr const char* kBufferUnavailable = "the memory is not enough!";
inline constexpr const char* kUpdateFinished = "update finish!";
inline constexpr const char* kUpdateOk = "update ok!";

// How a run ended, for the fronts to map (the command line's exit status, the window's end).
enum class UpdateOutcome {
  kSucceeded,  // every file sent; "update ok!" was shown
  kFailed,     // a failure, its message shown; later files not sent
  kNoFiles,    // the list names no files (or is missing): ended without a message
  kCancelled,  // a request to close cut a file short; later files not sent
};

struct UpdateRunOptions {
  // Where "filename" values are relative to; empty: the running executable's directory.
  std::string executable_dir;
  TransferWatcher* watcher = nullptr;
};

// Sends every file of the update list to the device that `open_device` opens, over one handle,
// with progress, status line and messages through the context's operator. The device and the
// HID library are released on every way out.
UpdateOutcome UpdateRun(DeviceContext& context, const DeviceOpener& open_device,
                        const std::string& update_list_path, const UpdateRunOptions& options = {});
// The same run over entries and files that a source holds (the station's, read once for many
// devices): the same frames, waits, progress and messages. options.executable_dir is not used.
UpdateOutcome UpdateRun(DeviceContext& context, const DeviceOpener& open_device,
                        UpdateSource& source, const UpdateRunOptions& options = {});

}  // namespace pellar
