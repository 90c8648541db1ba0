#include "info/device_text.h"

#include <algorithm>
#include <optional>

#include "device/command_codes.h"
#include "device/command_frame.h"
#include "device/device_table.h"

namespace pellar {

WriteTextResult WriteDeviceText(DeviceContext& context, DeviceHandle device, std::string_view text,
                                std::uint16_t command) {
  std::optional<std::string> bytes = context.codec.Encode(text);
  WriteTextResult result = WriteTextResult::kFailed;
  if (!bytes) {
    result = WriteTextResult::kUnencodable;
  } else if (bytes->size() > kPayloadCapacity) {
    result = WriteTextResult::kTooLong;
  } else {
    CommandFrame request =
        BuildFrame(command, kFlagComplete, 0, reinterpret_cast<const std::uint8_t*>(bytes->data()),
                   bytes->size());
    CommandFrame answer;
    bool answered = ExchangeFrame(context.hid, context.clock, device, request, answer, kFrameSize,
                                  kWriteTextTimeoutMs);
    // The echoed command is not compared: devices answer writes under other codes.
    if (answered && answer.status() == 0) result = WriteTextResult::kWritten;
  }
  CloseDevice(context.hid, device);
  return result;
}

std::string ReadDeviceText(DeviceContext& context, DeviceHandle device, std::uint16_t command) {
  CommandFrame request = BuildFrame(command, kFlagComplete, 0, nullptr, 0);
  CommandFrame answer;
  bool answered = ExchangeFrame(context.hid, context.clock, device, request, answer, kFrameSize,
                                kReadTextTimeoutMs);
  CloseDevice(context.hid, device);
  if (!answered || answer.status() != 0 || answer.command() != command) return {};

  const auto* payload = reinterpret_cast<const char*>(answer.payload());
  std::size_t count = std::find(payload, payload + kPayloadCapacity, '\0') - payload;
  std::string text = context.codec.Decode(std::string_view(payload, count));
  // The stated length counts characters of the decoded text; 0 means "up to the zero byte".
  std::size_t stated = answer.length();
  if (stated != 0 && Utf16Length(text) > stated) text = Utf16Prefix(text, stated);
  return text;
}

}  // namespace pellar
