#include "device/command_frame.h"

#include <algorithm>
#include <cstring>

namespace pellar {

std::uint16_t FrameChecksum(const std::uint8_t* bytes, std::size_t count, std::uint16_t seed) {
  std::uint16_t value = seed;
  for (std::size_t i = 0; i < count; ++i) {
    value ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) {
      bool low_bit = (value & 1U) != 0;
      value = static_cast<std::uint16_t>(value >> 1);
      if (low_bit) value ^= 0x1021;
    }
  }
  return value;
}

CommandFrame BuildFrame(std::uint16_t command, std::uint8_t flag, std::uint32_t number,
                        const std::uint8_t* payload, std::size_t count) {
  CommandFrame frame;  // zero-filled
  auto& b = frame.bytes;
  b[0] = 0x01;
  b[1] = 0x5A;
  b[2] = 0x5A;
  b[3] = static_cast<std::uint8_t>(command);
  b[4] = static_cast<std::uint8_t>(command >> 8);
  b[5] = flag;
  b[6] = static_cast<std::uint8_t>(count);
  b[7] = static_cast<std::uint8_t>(count >> 8);
  for (int i = 0; i < 4; ++i) b[8 + i] = static_cast<std::uint8_t>(number >> (8 * i));
  if (count > 0) std::memcpy(frame.payload(), payload, count);
  std::uint16_t checksum = FrameChecksum(b.data(), kChecksummedHeaderSize);
  checksum = FrameChecksum(frame.payload(), count, checksum);
  b[12] = static_cast<std::uint8_t>(checksum);
  b[13] = static_cast<std::uint8_t>(checksum >> 8);
  return frame;
}

bool ExchangeFrame(HidApi& hid, Clock& clock, DeviceHandle device, const CommandFrame& request,
                   CommandFrame& answer, std::size_t answer_size, int timeout_ms, int pause_ms) {
  answer_size = std::min(answer_size, kFrameSize);
  // Bytes the device does not send must read as zero, so a missing answer reads as command 0.
  std::fill_n(answer.bytes.begin(), std::max(answer_size, kHeaderSize), std::uint8_t{0});
  hid.Write(device, request.bytes.data(), kFrameSize);
  if (pause_ms > 0) clock.Sleep(pause_ms);
  int result = hid.ReadTimeout(device, answer.bytes.data(), answer_size, timeout_ms);
  return result > 0;
}

}  // namespace pellar
