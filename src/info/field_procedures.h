#pragma once

#include <string>
#include <string_view>

#include "device/device_context.h"
#include "device/device_table.h"
#include "info/device_field.h"

namespace pellar {

// A write button's whole operation: opens the device, refuses an empty text (after opening, so
// that a missing device is reported first), writes, closes, and shows the field's message.
// True when the device accepted the text. The field must have a write.
bool WriteField(DeviceContext& context, const DeviceOpener& open, const DeviceField& field,
                std::string_view text);

// A read button's whole operation: opens the device, reads, closes. Returns the device's text, or
// an empty text after the failure has been shown (only the open's message when it did not open).
std::string ReadField(DeviceContext& context, const DeviceOpener& open, const DeviceField& field);

}  // namespace pellar
