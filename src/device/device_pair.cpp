#include "device/device_pair.h"

namespace pellar {
namespace {

bool ParseHexId(const std::string& text, std::uint16_t* value) {
  std::string digits = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 4 ||
      digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return false;
  *value = static_cast<std::uint16_t>(std::stoul(digits, nullptr, 16));
  return true;
}

}  // namespace

std::optional<DevicePair> ParseDevicePair(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  DevicePair pair;
  if (!ParseHexId(text.substr(0, colon), &pair.vendor_id) ||
      !ParseHexId(text.substr(colon + 1), &pair.product_id) || pair.vendor_id == 0 ||
      pair.product_id == 0)
    return std::nullopt;
  return pair;
}

}  // namespace pellar
