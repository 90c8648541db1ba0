#include "info/field_procedures.h"

#include "info/device_text.h"

namespace pellar {
namespace {

const char* MessageFor(const FieldWrite& write, WriteTextResult result) {
  switch (result) {
    case WriteTextResult::kWritten: return write.success_message;
    case WriteTextResult::kFailed: return write.failure_message;
    case WriteTextResult::kTooLong: return write.too_long_message;
    case WriteTextResult::kUnencodable: return write.unencodable_message;
  }
  return write.failure_message;
}

}  // namespace

bool WriteField(DeviceContext& context, const DeviceOpener& open, const DeviceField& field,
                std::string_view text) {
  const FieldWrite& write = *field.write;
  DeviceHandle device = open();
  if (device == nullptr) return false;  // the open has shown its message
  if (text.empty()) {
    context.ui.ShowMessage(write.empty_message);
    CloseDevice(context.hid, device);
    return false;
  }
  WriteTextResult result = WriteDeviceText(context, device, text, write.command);
  context.ui.ShowMessage(MessageFor(write, result));
  return result == WriteTextResult::kWritten;
}

std::string ReadField(DeviceContext& context, const DeviceOpener& open, const DeviceField& field) {
  DeviceHandle device = open();
  if (device == nullptr) return {};
  std::string text = ReadDeviceText(context, device, field.read.command);
  if (text.empty()) context.ui.ShowMessage(field.read.failure_message);
  return text;
}

}  // namespace pellar
