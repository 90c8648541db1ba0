#include "info/device_field.h"

namespace pellar {

const DeviceField* FindDeviceField(std::string_view cli_name) {
  for (const DeviceField& field : kDeviceFields)
    if (cli_name == field.cli_name) return &field;
  return nullptr;
}

}  // namespace pellar
