#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pellar {

// A vendor and product id pair: one kind of device, as a station flashes it or a rule admits it.
struct DevicePair {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
};
// "1234:5678" in hex, each half with an optional "0x"; nullopt when malformed or zero.
std::optional<DevicePair> ParseDevicePair(const std::string& text);

}  // namespace pellar
