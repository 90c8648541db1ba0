// A packet file's bytes, as `pellar-cli inspect` checks them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "packer/packet_inspection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pellar;
  PacketInspection inspection = InspectPacket(std::span<const std::uint8_t>(data, size));
  // The records read never reach past the file.
  std::uint64_t end = kPacketHeaderSize;
  for (const PacketRecord& record : inspection.records) end += kPacketRecordSize + record.length;
  if (end > size && !inspection.records.empty()) __builtin_trap();
  (void)ProblemName(inspection.problem);
  return 0;
}
