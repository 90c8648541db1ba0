#pragma once

#include "device/clock.h"
#include "device/hid_api.h"
#include "device/operator.h"
#include "device/text_codec.h"

namespace pellar {

// What a core operation works with: the HID seam, the clock for fixed waits, the operator, and
// the encoding of text on the wire.
struct DeviceContext {
  HidApi& hid;
  Clock& clock;
  Operator& ui;
  const TextCodec& codec;
};

}  // namespace pellar
