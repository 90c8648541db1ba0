#include "update/ota_transfer.h"

#include <algorithm>

#include "device/command_codes.h"
#include "device/command_frame.h"
#include "update/update_list.h"

namespace pellar {
namespace {

// A step sends its frame once and repeats it up to six times.
constexpr int kMaxRepeats = 6;
// About one progress value per hundredth of the file: 102400 bytes are a little over 100 packets.
constexpr std::int32_t kBytesPerProgressStep = 102400;
constexpr int kPacketRepeatPauseMs = 200;

// How one step exchanges its frame with the device.
struct StepTiming {
  std::size_t answer_size = kFrameSize;
  int timeout_ms = 0;
  int read_pause_ms = 0;    // between the write and the read
  int repeat_pause_ms = 0;  // before each repeat
  bool silence_ends = false;  // a missing answer ends the step at once, without a repeat
};

constexpr StepTiming kStartTiming{kHeaderSize, 1000, 0, 0, true};
constexpr StepTiming kFileTypeTiming{kFrameSize, 1000, 0, 0, false};
constexpr StepTiming kPackTiming{kFrameSize, 3000, kPacketReadPauseMs, kPacketRepeatPauseMs, false};
constexpr StepTiming kStatusTiming{kFrameSize, 3000, 0, 0, false};

enum class StepResult { kAccepted, kRefused, kSilent };

// Sends the same frame until the device echoes its command with status 0, at most seven times.
StepResult RunStep(DeviceContext& context, DeviceHandle device, const CommandFrame& request,
                   const StepTiming& timing) {
  CommandFrame answer;
  for (int repeats = 0;; ++repeats) {
    bool answered = ExchangeFrame(context.hid, context.clock, device, request, answer,
                                  timing.answer_size, timing.timeout_ms, timing.read_pause_ms);
    if (!answered && timing.silence_ends) return StepResult::kSilent;
    if (answer.command() == request.command() && answer.status() == 0) return StepResult::kAccepted;
    if (repeats == kMaxRepeats) return StepResult::kRefused;
    if (timing.repeat_pause_ms > 0) context.clock.Sleep(timing.repeat_pause_ms);
  }
}

int Fail(DeviceContext& context, const char* message) {
  context.ui.ShowMessage(message);
  context.ui.SetProgress(0);
  return -1;
}

// The data packets. False when a packet was refused seven times; *cut_short when a request to
// close ended the data before everything was sent.
bool SendData(DeviceContext& context, DeviceHandle device, const std::uint8_t* data,
              std::int32_t size, bool* cut_short, TransferWatcher* watcher) {
  const std::int32_t progress_step = std::max(size / kBytesPerProgressStep, std::int32_t{1});
  std::int32_t position = 0;
  std::uint32_t packets = 0;
  int progress_value = 0;
  while (position < size) {
    const std::int32_t remaining = size - position;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(remaining, kPayloadCapacity));
    const std::uint8_t flag = remaining > count ? kFlagMoreFollow : kFlagComplete;
    // The window breathes once per packet, never per repeat; a close taken here ends the data.
    if (context.ui.Breathe()) {
      *cut_short = true;
      return true;
    }
    context.clock.Sleep(kPacketPauseMs);
    if (packets % static_cast<std::uint32_t>(progress_step) == 0) context.ui.SetProgress(progress_value++);
    ++packets;
    CommandFrame request = BuildFrame(CMD_OTA_PACK, flag, packets, data + position,
                                      static_cast<std::size_t>(count));
    if (RunStep(context, device, request, kPackTiming) != StepResult::kAccepted) return false;
    position += count;
    if (watcher != nullptr) watcher->DataAccepted(position, size);
  }
  return true;
}

}  // namespace

int OtaTransfer(DeviceContext& context, DeviceHandle device, const std::uint8_t* data,
                std::int32_t size, const std::string& device_file_name, OtaTransferReport* report,
                TransferWatcher* watcher) {
  OtaTransferReport local_report;
  if (report == nullptr) report = &local_report;
  *report = OtaTransferReport{};
  if (size < 0 || (size > 0 && data == nullptr)) size = 0;
  // The name is one frame's payload; a longer one must never reach the frame builder.
  if (device_file_name.size() > kPayloadCapacity) return Fail(context, kDeviceNameTooLong);

  context.hid.SetNonblocking(device, 0);

  CommandFrame start = BuildFrame(CMD_OTA_START, kFlagControl, 0, nullptr, 0);
  switch (RunStep(context, device, start, kStartTiming)) {
    case StepResult::kSilent: return Fail(context, kStartTimeout);
    case StepResult::kRefused: return Fail(context, kStartFailed);
    case StepResult::kAccepted: break;
  }

  const auto* name = reinterpret_cast<const std::uint8_t*>(device_file_name.data());
  CommandFrame file_type = BuildFrame(CMD_OTA_FILETYPE, kFlagComplete, 1, name, device_file_name.size());
  if (RunStep(context, device, file_type, kFileTypeTiming) != StepResult::kAccepted)
    return Fail(context, kFileTypeFailed);

  if (!SendData(context, device, data, size, &report->cut_short, watcher)) return Fail(context, kPackFailed);

  CommandFrame status = BuildFrame(CMD_OTA_STATUS, kFlagControl, 0, nullptr, 0);
  if (RunStep(context, device, status, kStatusTiming) != StepResult::kAccepted)
    return Fail(context, kStatusFailed);
  return 0;
}

}  // namespace pellar
