#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pellar {

// The component kinds, in the order their records stand in "packet.bin". The order is neither that
// of the builder window's rows nor that of the type codes: HID_TEST third, APP last.
enum class ComponentKind { UVCCONFIG, UVCATTR, HID_TEST, SENSOR_DIRVER, SENSOR_SETTINGS, APP_INIT,
                           FAST_INIT, APP };

inline constexpr std::size_t kComponentKindCount = 8;

struct ComponentKindInfo {
  ComponentKind kind;
  std::string_view name;
  std::uint16_t type;
};

// Every kind with its name and type code, in file order.
inline constexpr std::array<ComponentKindInfo, kComponentKindCount> kComponentKinds{{
    {ComponentKind::UVCCONFIG, "UVCCONFIG", 0x3112},
    {ComponentKind::UVCATTR, "UVCATTR", 0x3113},
    {ComponentKind::HID_TEST, "HID_TEST", 0x31F0},
    {ComponentKind::SENSOR_DIRVER, "SENSOR_DIRVER", 0x3114},
    {ComponentKind::SENSOR_SETTINGS, "SENSOR_SETTINGS", 0x3115},
    {ComponentKind::APP_INIT, "APP_INIT", 0x3116},
    {ComponentKind::FAST_INIT, "FAST_INIT", 0x3120},
    {ComponentKind::APP, "APP", 0x3110},
}};

inline constexpr std::size_t KindIndex(ComponentKind kind) { return static_cast<std::size_t>(kind); }
inline constexpr const ComponentKindInfo& KindInfo(ComponentKind kind) {
  return kComponentKinds[KindIndex(kind)];
}
// The kind with this type code, or nothing for a code no kind carries.
std::optional<ComponentKind> KindOfType(std::uint16_t type);

// The file: a header, then per component a record followed at once by its data. Little-endian,
// nothing padded. The first record's offset names where its data begin (18); every later record's
// offset names where the record itself stands. Devices read it that way, so it stays.
inline constexpr std::uint32_t kPacketMagic = 0x5A5A;
inline constexpr std::size_t kPacketHeaderSize = 8;
inline constexpr std::size_t kPacketRecordSize = 10;
inline constexpr std::size_t kFirstDataOffset = kPacketHeaderSize + kPacketRecordSize;
// The packing's working buffer, and so the largest file, header and records included.
inline constexpr std::size_t kPacketCapacity = std::size_t{10} * 1024 * 1024;

struct PacketHeader {
  std::uint32_t magic = kPacketMagic;
  std::uint32_t recordCount = 0;
};

struct PacketRecord {
  std::uint16_t type = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  bool operator==(const PacketRecord&) const = default;
};

// Store and load the 8 and 10 bytes at `at`.
void StoreHeader(const PacketHeader& header, std::uint8_t* at);
void StoreRecord(const PacketRecord& record, std::uint8_t* at);
PacketHeader LoadHeader(const std::uint8_t* at);
PacketRecord LoadRecord(const std::uint8_t* at);

}  // namespace pellar
