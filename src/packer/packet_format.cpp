#include "packer/packet_format.h"

namespace pellar {
namespace {

void Store16(std::uint16_t value, std::uint8_t* at) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Store32(std::uint32_t value, std::uint8_t* at) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t Load16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t Load32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

}  // namespace

std::optional<ComponentKind> KindOfType(std::uint16_t type) {
  for (const ComponentKindInfo& info : kComponentKinds)
    if (info.type == type) return info.kind;
  return std::nullopt;
}

void StoreHeader(const PacketHeader& header, std::uint8_t* at) {
  Store32(header.magic, at);
  Store32(header.recordCount, at + 4);
}

void StoreRecord(const PacketRecord& record, std::uint8_t* at) {
  Store16(record.type, at);
  Store32(record.offset, at + 2);
  Store32(record.length, at + 6);
}

PacketHeader LoadHeader(const std::uint8_t* at) { return {Load32(at), Load32(at + 4)}; }

PacketRecord LoadRecord(const std::uint8_t* at) {
  return {Load16(at), Load32(at + 2), Load32(at + 6)};
}

}  // namespace pellar
