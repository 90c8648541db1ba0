#pragma once

#include <memory>
#include <string>

#include "cli/cli_app.h"
#include "device/device_table.h"

namespace pellar::cli {

// How a command names its device: --device VID:PID (the first listed device with that pair, as the
// window opens it), --path HIDPATH (exactly that device), or neither (the single listed device).
struct DeviceChoiceOptions {
  std::string pair;
  std::string path;
};

// Adds --device and --path to a command; the returned options are filled when it is parsed.
std::shared_ptr<DeviceChoiceOptions> AddDeviceChoiceOptions(CLI::App* command);

// An opener for the chosen device, or null with *problem set (bad --device text, no device, or
// several devices with the candidates listed). Opening itself reports through the operator.
DeviceOpener MakeDeviceOpener(CliEnvironment& environment, const DeviceChoiceOptions& options,
                              std::string* problem);

}  // namespace pellar::cli
