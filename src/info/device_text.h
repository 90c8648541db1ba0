#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device/device_context.h"
#include "device/hid_api.h"

namespace pellar {

inline constexpr int kWriteTextTimeoutMs = 1000;
inline constexpr int kReadTextTimeoutMs = 3000;

enum class WriteTextResult {
  kWritten,      // an answer came with status 0
  kFailed,       // no answer, or a status other than 0
  kTooLong,      // refused: more than one request's payload; nothing sent
  kUnencodable,  // refused: the wire encoding lacks a character; nothing sent
};

// Sends `text` (UTF-8) in the wire encoding as one write request and judges the answer by its status
// alone. Closes the device before it returns, whatever the result.
WriteTextResult WriteDeviceText(DeviceContext& context, DeviceHandle device, std::string_view text,
                                std::uint16_t command);

// Sends one read request and returns the device's text (UTF-8), or an empty text when no answer
// came, its status is not 0, it echoes another command, or its payload is empty. Closes the device
// before it returns, whatever the result.
std::string ReadDeviceText(DeviceContext& context, DeviceHandle device, std::uint16_t command);

}  // namespace pellar
