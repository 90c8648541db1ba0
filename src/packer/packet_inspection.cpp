#include "packer/packet_inspection.h"

#include <cstdio>
#include <optional>

namespace pellar {
namespace {

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string RecordName(std::size_t index, std::size_t position) {
  return "record " + std::to_string(index + 1) + " at byte " + std::to_string(position);
}

std::string Records(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " record" : " records");
}

// Walks the chain of records from behind the header to the end of the file, stopping at the first
// one that does not fit the layout. Returns the index of the record that stopped it, if any.
std::optional<std::size_t> WalkRecords(std::span<const std::uint8_t> bytes,
                                       PacketInspection& result) {
  std::size_t position = kPacketHeaderSize;
  std::optional<std::size_t> previous_kind;
  auto stop = [&](PacketProblem problem, std::string detail) {
    result.problem = problem;
    result.detail = std::move(detail);
    return std::optional<std::size_t>(result.records.size());
  };
  while (position < bytes.size()) {
    std::string name = RecordName(result.records.size(), position);
    std::size_t left = bytes.size() - position;
    if (left < kPacketRecordSize)
      return stop(PacketProblem::kTooShort,
                  name + " is cut off: " + std::to_string(left) + " of 10 bytes");
    PacketRecord record = LoadRecord(bytes.data() + position);
    std::optional<ComponentKind> kind = KindOfType(record.type);
    if (!kind)
      return stop(PacketProblem::kUnknownType,
                  name + " has type code " + Hex(record.type, 4) + ", which no kind carries");
    name += " (" + std::string(KindInfo(*kind).name) + ")";
    if (previous_kind && KindIndex(*kind) <= *previous_kind)
      return stop(PacketProblem::kOutOfOrder, name + " stands behind " +
                                                  std::string(kComponentKinds[*previous_kind].name));
    std::size_t data_at = position + kPacketRecordSize;
    std::size_t expected = result.records.empty() ? data_at : position;
    if (record.offset != expected)
      return stop(PacketProblem::kWrongOffset, name + " gives offset " +
                                                   std::to_string(record.offset) + ", expected " +
                                                   std::to_string(expected));
    if (record.length > bytes.size() - data_at)
      return stop(PacketProblem::kLengthPastEnd,
                  name + " claims " + std::to_string(record.length) + " bytes from byte " +
                      std::to_string(data_at) + ", the file ends at byte " +
                      std::to_string(bytes.size()));
    result.records.push_back(record);
    previous_kind = KindIndex(*kind);
    position = data_at + record.length;
  }
  return std::nullopt;
}

// Where the first `count` records end.
std::size_t EndOfRecords(const std::vector<PacketRecord>& records, std::size_t count) {
  std::size_t end = kPacketHeaderSize;
  for (std::size_t i = 0; i < count && i < records.size(); ++i)
    end += kPacketRecordSize + records[i].length;
  return end;
}

}  // namespace

std::string_view ProblemName(PacketProblem problem) {
  switch (problem) {
    case PacketProblem::kNone: return "well-formed";
    case PacketProblem::kTooShort: return "too short";
    case PacketProblem::kBadMagic: return "bad magic";
    case PacketProblem::kRecordCountMismatch: return "record count mismatch";
    case PacketProblem::kLengthPastEnd: return "length past the end";
    case PacketProblem::kBytesLeftOver: return "bytes left over";
    case PacketProblem::kUnknownType: return "unknown type code";
    case PacketProblem::kWrongOffset: return "wrong offset";
    case PacketProblem::kOutOfOrder: return "records out of order";
  }
  return "unknown problem";
}

PacketInspection InspectPacket(std::span<const std::uint8_t> bytes) {
  PacketInspection result;
  if (bytes.size() < kPacketHeaderSize) {
    result.problem = PacketProblem::kTooShort;
    result.detail = std::to_string(bytes.size()) + " bytes, a header alone takes 8";
    return result;
  }
  result.header = LoadHeader(bytes.data());
  if (result.header.magic != kPacketMagic) {
    result.problem = PacketProblem::kBadMagic;
    result.detail = "magic " + Hex(result.header.magic, 8) + ", expected " + Hex(kPacketMagic, 8);
    return result;
  }
  std::size_t declared = result.header.recordCount;
  std::optional<std::size_t> stopped_at = WalkRecords(bytes, result);
  if (stopped_at && *stopped_at >= declared && declared > 0) {
    // The declared records are sound; what follows them is not a record.
    std::size_t end = EndOfRecords(result.records, declared);
    result.records.resize(declared);
    result.problem = PacketProblem::kBytesLeftOver;
    result.detail = "the header declares " + Records(declared) + ", which end at byte " +
                    std::to_string(end) + "; " + std::to_string(bytes.size() - end) +
                    " more bytes follow";
  } else if (!stopped_at && result.records.empty()) {
    result.problem = PacketProblem::kTooShort;
    result.detail = "the file holds no record";
  } else if (!stopped_at && result.records.size() != declared) {
    result.problem = PacketProblem::kRecordCountMismatch;
    result.detail = "the header declares " + Records(declared) + ", the file holds " +
                    std::to_string(result.records.size());
  }
  return result;
}

}  // namespace pellar
