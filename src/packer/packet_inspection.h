#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "packer/packet_format.h"

namespace pellar {

// What can make a file other than a well-formed packet.
enum class PacketProblem {
  kNone,
  kTooShort,             // no whole header, no record at all, or a record cut off
  kBadMagic,             // the header does not start with 5A 5A 00 00
  kRecordCountMismatch,  // the header's count differs from the records the file holds
  kLengthPastEnd,        // a record claims data beyond the end of the file
  kBytesLeftOver,        // bytes behind the declared records that form no further record
  kUnknownType,          // a type code no component kind carries
  kWrongOffset,          // an offset other than the one the layout fixes
  kOutOfOrder,           // a kind before one it must follow, or a kind twice
};

// Short name of a problem, e.g. "length past the end".
std::string_view ProblemName(PacketProblem problem);

struct PacketInspection {
  PacketHeader header;
  std::vector<PacketRecord> records;  // the records read before any problem was met
  PacketProblem problem = PacketProblem::kNone;
  std::string detail;  // names the record and the byte where the problem lies
  bool ok() const { return problem == PacketProblem::kNone; }
};

// Reads a packet file's layout and checks it against the layout the packing writes.
PacketInspection InspectPacket(std::span<const std::uint8_t> bytes);

}  // namespace pellar
