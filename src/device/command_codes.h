#pragma once

#include <cstdint>

namespace pellar {

// Command codes of the device protocol. A field's write code is its read code plus one.
inline constexpr std::uint16_t CMD_READ_VERSION = 0x0001;
inline constexpr std::uint16_t CMD_READ_MANUFACTURE = 0x2000;
inline constexpr std::uint16_t CMD_WRITE_MANUFACTURE = 0x2001;
inline constexpr std::uint16_t CMD_READ_SN = 0x2010;
inline constexpr std::uint16_t CMD_WRITE_SN = 0x2011;
inline constexpr std::uint16_t CMD_READ_VID = 0x2030;
inline constexpr std::uint16_t CMD_WRITE_VID = 0x2031;
inline constexpr std::uint16_t CMD_READ_PID = 0x2040;
inline constexpr std::uint16_t CMD_WRITE_PID = 0x2041;
inline constexpr std::uint16_t CMD_READ_BCD = 0x2050;
inline constexpr std::uint16_t CMD_WRITE_BCD = 0x2051;
inline constexpr std::uint16_t CMD_READ_MODEL = 0x2F00;
inline constexpr std::uint16_t CMD_WRITE_MODEL = 0x2F01;
inline constexpr std::uint16_t CMD_READ_CMEI = 0x2F10;
inline constexpr std::uint16_t CMD_WRITE_CMEI = 0x2F11;
inline constexpr std::uint16_t CMD_READ_APPKEY = 0x2F20;
inline constexpr std::uint16_t CMD_WRITE_APPKEY = 0x2F21;
inline constexpr std::uint16_t CMD_OTA_START = 0x3000;
inline constexpr std::uint16_t CMD_OTA_FILETYPE = 0x3150;
inline constexpr std::uint16_t CMD_OTA_PACK = 0x3200;
inline constexpr std::uint16_t CMD_OTA_STATUS = 0x3300;

// The flag byte: 0 for the OTA control requests, 1 for a data packet that more follow,
// 2 for a request complete in itself or the last data packet.
inline constexpr std::uint8_t kFlagControl = 0;
inline constexpr std::uint8_t kFlagMoreFollow = 1;
inline constexpr std::uint8_t kFlagComplete = 2;

}  // namespace pellar
