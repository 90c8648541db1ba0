#include "packer/packet_inspection.h"

#include <gtest/gtest.h>

#include "packer/packet_packer.h"
#include "packer/byte_pattern.h"
#include "support/temp_dir.h"
#include "support/recording_operator.h"

namespace pellar {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A packet built piece by piece, so that each case says what it breaks.
struct PacketBuilder {
  Bytes bytes{0x5A, 0x5A, 0, 0, 0, 0, 0, 0};
  PacketBuilder& Count(std::uint32_t count) {
    StoreHeader({kPacketMagic, count}, bytes.data());
    return *this;
  }
  PacketBuilder& Record(std::uint16_t type, std::uint32_t offset, std::uint32_t length,
                        std::size_t data_bytes) {
    std::size_t at = bytes.size();
    bytes.resize(at + kPacketRecordSize + data_bytes, 0xAB);
    StoreRecord({type, offset, length}, bytes.data() + at);
    return *this;
  }
  PacketBuilder& Raw(const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }
};

struct InspectionCase {
  std::string name;
  Bytes bytes;
  PacketProblem problem;
  std::string detail;  // a part of the detail that must be there
};

void PrintTo(const InspectionCase& c, std::ostream* out) { *out << c.name; }

class InspectPacketTest : public ::testing::TestWithParam<InspectionCase> {};

TEST_P(InspectPacketTest, NamesTheProblem) {
  const InspectionCase& c = GetParam();
  PacketInspection inspection = InspectPacket(c.bytes);
  EXPECT_EQ(ProblemName(inspection.problem), ProblemName(c.problem));
  EXPECT_NE(inspection.detail.find(c.detail), std::string::npos) << inspection.detail;
}

// The worked example: UVCCONFIG of 100 bytes, APP of 50.
PacketBuilder Example() {
  return PacketBuilder().Count(2).Record(0x3112, 18, 100, 100).Record(0x3110, 118, 50, 50);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InspectPacketTest,
    ::testing::Values(
        InspectionCase{"WorkedExample", Example().bytes, PacketProblem::kNone, ""},
        InspectionCase{"EmptyComponents",
                       PacketBuilder().Count(2).Record(0x3113, 18, 0, 0).Record(0x3120, 18, 0, 0).bytes,
                       PacketProblem::kNone, ""},
        InspectionCase{"NoHeader", Bytes{0x5A, 0x5A, 0}, PacketProblem::kTooShort, "3 bytes"},
        InspectionCase{"HeaderOnly", PacketBuilder().Count(0).bytes, PacketProblem::kTooShort,
                       "no record"},
        InspectionCase{"RecordCutOff", PacketBuilder().Count(1).Raw({0x12, 0x31, 18}).bytes,
                       PacketProblem::kTooShort, "record 1 at byte 8 is cut off: 3 of 10"},
        InspectionCase{"BadMagic", Bytes{0x5A, 0x5B, 0, 0, 1, 0, 0, 0}, PacketProblem::kBadMagic,
                       "0x00005B5A"},
        InspectionCase{"CountTooHigh", Example().Count(3).bytes,
                       PacketProblem::kRecordCountMismatch, "declares 3 records, the file holds 2"},
        InspectionCase{"CountTooLow", Example().Count(1).bytes,
                       PacketProblem::kRecordCountMismatch, "declares 1 record, the file holds 2"},
        InspectionCase{"LengthPastTheEnd",
                       PacketBuilder().Count(2).Record(0x3112, 18, 100, 100).Record(0x3110, 118, 50, 40).bytes,
                       PacketProblem::kLengthPastEnd, "record 2 at byte 118 (APP) claims 50 bytes"},
        InspectionCase{"BytesLeftOver", Example().Raw({1, 2, 3}).bytes, PacketProblem::kBytesLeftOver,
                       "end at byte 178; 3 more bytes follow"},
        InspectionCase{"LengthTooSmallLeavesBytesOver",
                       PacketBuilder().Count(1).Record(0x3112, 18, 10, 30).bytes,
                       PacketProblem::kBytesLeftOver, "20 more bytes"},
        InspectionCase{"UnknownTypeCode", PacketBuilder().Count(1).Record(0x3111, 18, 1, 1).bytes,
                       PacketProblem::kUnknownType, "0x3111"},
        InspectionCase{"FirstOffsetAtTheRecord", PacketBuilder().Count(1).Record(0x3112, 8, 1, 1).bytes,
                       PacketProblem::kWrongOffset, "offset 8, expected 18"},
        InspectionCase{"LaterOffsetAtTheData",
                       PacketBuilder().Count(2).Record(0x3112, 18, 1, 1).Record(0x3110, 29, 1, 1).bytes,
                       PacketProblem::kWrongOffset, "offset 29, expected 19"},
        InspectionCase{"OutOfOrder",
                       PacketBuilder().Count(2).Record(0x3110, 18, 1, 1).Record(0x3112, 19, 1, 1).bytes,
                       PacketProblem::kOutOfOrder, "(UVCCONFIG) stands behind APP"},
        InspectionCase{"KindTwice",
                       PacketBuilder().Count(2).Record(0x31F0, 18, 1, 1).Record(0x31F0, 19, 1, 1).bytes,
                       PacketProblem::kOutOfOrder, "(HID_TEST) stands behind HID_TEST"}),
    [](const auto& info) { return info.param.name; });

TEST(InspectPacket, ReadsBackEveryRecordOfAPackedFile) {
  testing::TempDir folder;
  ComponentPaths paths;
  std::vector<PacketRecord> expected;
  std::uint32_t position = kPacketHeaderSize;
  for (const ComponentKindInfo& info : kComponentKinds) {
    std::uint32_t length = 3 * (static_cast<std::uint32_t>(KindIndex(info.kind)) % 3);  // some 0
    paths[KindIndex(info.kind)] =
        folder.WriteBytes(std::string(info.name), testing::Pattern(length, static_cast<std::uint8_t>(length)));
    expected.push_back({info.type, expected.empty() ? position + 10 : position, length});
    position += 10 + length;
  }
  testing::RecordingOperator ui;
  ASSERT_EQ(OnPack(paths, ui, folder.Path("packet.bin")), PackOutcome::kPacked);
  PacketInspection inspection = InspectPacket(folder.ReadBytes("packet.bin"));
  EXPECT_TRUE(inspection.ok()) << inspection.detail;
  EXPECT_EQ(inspection.header.recordCount, 8u);
  EXPECT_EQ(inspection.records, expected);
}

}  // namespace
}  // namespace pellar
