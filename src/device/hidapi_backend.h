#pragma once

#include <memory>

#include "device/hid_api.h"

namespace pellar {

// The seam over the system's HID library (hidraw backend). The only code that includes hidapi.
std::unique_ptr<HidApi> MakeHidapiBackend();

}  // namespace pellar
