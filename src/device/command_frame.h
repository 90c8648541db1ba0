#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/clock.h"
#include "device/hid_api.h"

namespace pellar {

inline constexpr std::size_t kFrameSize = 1024;
inline constexpr std::size_t kHeaderSize = 14;
inline constexpr std::size_t kPayloadCapacity = kFrameSize - kHeaderSize;  // 1010
inline constexpr std::size_t kChecksummedHeaderSize = 12;

// One 1024-byte HID report of the command protocol, little-endian:
// report id 0x01, magic 5A 5A, command (2), flag (1), length (2), number or status (4),
// checksum (2), then the payload. Answers share the layout.
struct CommandFrame {
  std::array<std::uint8_t, kFrameSize> bytes{};

  std::uint16_t command() const { return Read16(3); }
  std::uint8_t flag() const { return bytes[5]; }
  std::uint16_t length() const { return Read16(6); }
  std::uint32_t number() const { return Read32(8); }
  std::uint32_t status() const { return Read32(8); }  // the same field, in an answer
  std::uint16_t checksum() const { return Read16(12); }
  const std::uint8_t* payload() const { return bytes.data() + kHeaderSize; }
  std::uint8_t* payload() { return bytes.data() + kHeaderSize; }

 private:
  std::uint16_t Read16(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
  }
  std::uint32_t Read32(std::size_t at) const {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
  }
};

// The protocol's running checksum: register from `seed`, each byte XORed into the low 8 bits,
// then eight right shifts that XOR 0x1021 whenever a 1 bit falls out. Matches no published CRC.
std::uint16_t FrameChecksum(const std::uint8_t* bytes, std::size_t count, std::uint16_t seed = 0xFFFF);

// A zero-filled request; `count` must be at most kPayloadCapacity (callers guarantee it).
CommandFrame BuildFrame(std::uint16_t command, std::uint8_t flag, std::uint32_t number,
                        const std::uint8_t* payload, std::size_t count);

// One exchange: clears the answer's part to be read, writes the whole request (its result is not
// examined), waits `pause_ms`, then reads `answer_size` bytes with `timeout_ms`.
// True when an answer arrived; a read of 0 or a negative read means none did.
bool ExchangeFrame(HidApi& hid, Clock& clock, DeviceHandle device, const CommandFrame& request,
                   CommandFrame& answer, std::size_t answer_size, int timeout_ms, int pause_ms = 0);

}  // namespace pellar
