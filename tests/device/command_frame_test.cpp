#include "device/command_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/command_codes.h"

namespace pellar {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<std::uint8_t>(values.begin(), values.end());
}

struct ChecksumCase {
  std::string name;
  std::vector<std::uint8_t> input;
  std::uint16_t expected;
};

void PrintTo(const ChecksumCase& c, std::ostream* out) { *out << c.name; }

class FrameChecksumTest : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(FrameChecksumTest, MatchesWorkedValue) {
  const auto& c = GetParam();
  EXPECT_EQ(FrameChecksum(c.input.data(), c.input.size(), 0xFFFF), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, FrameChecksumTest,
    ::testing::Values(
        ChecksumCase{"OtaStartHeader", Bytes({0x01, 0x5A, 0x5A, 0x00, 0x30, 0, 0, 0, 0, 0, 0, 0}), 0x1581},
        ChecksumCase{"VersionReadHeader", Bytes({0x01, 0x5A, 0x5A, 0x01, 0x00, 2, 0, 0, 0, 0, 0, 0}), 0x0951},
        ChecksumCase{"SnWriteAbc",
                     Bytes({0x01, 0x5A, 0x5A, 0x11, 0x20, 2, 3, 0, 0, 0, 0, 0, 0x61, 0x62, 0x63}), 0x1802},
        ChecksumCase{"DigitsOneToNine", Bytes({0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39}),
                     0x1DBA}),
    [](const auto& info) { return info.param.name; });

TEST(FrameChecksum, CountZeroReturnsSeedAndRunsCanBeSplit) {
  std::vector<std::uint8_t> digits = Bytes({0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39});
  EXPECT_EQ(FrameChecksum(digits.data(), 0, 0x1234), 0x1234);
  std::uint16_t head = FrameChecksum(digits.data(), 4, 0xFFFF);
  EXPECT_EQ(FrameChecksum(digits.data() + 4, 5, head), 0x1DBA);
}

void ExpectZeroFrom(const CommandFrame& frame, std::size_t from) {
  for (std::size_t i = from; i < kFrameSize; ++i) ASSERT_EQ(frame.bytes[i], 0) << "byte " << i;
}

TEST(BuildFrame, WorkedFrames) {
  CommandFrame start = BuildFrame(CMD_OTA_START, kFlagControl, 0, nullptr, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(start.bytes.begin(), start.bytes.begin() + 14),
            Bytes({0x01, 0x5A, 0x5A, 0x00, 0x30, 0, 0, 0, 0, 0, 0, 0, 0x81, 0x15}));
  ExpectZeroFrom(start, 14);

  CommandFrame version = BuildFrame(CMD_READ_VERSION, kFlagComplete, 0, nullptr, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(version.bytes.begin(), version.bytes.begin() + 14),
            Bytes({0x01, 0x5A, 0x5A, 0x01, 0x00, 2, 0, 0, 0, 0, 0, 0, 0x51, 0x09}));
  ExpectZeroFrom(version, 14);

  const std::uint8_t abc[] = {'a', 'b', 'c'};
  CommandFrame sn = BuildFrame(CMD_WRITE_SN, kFlagComplete, 0, abc, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(sn.bytes.begin(), sn.bytes.begin() + 17),
            Bytes({0x01, 0x5A, 0x5A, 0x11, 0x20, 2, 3, 0, 0, 0, 0, 0, 0x02, 0x18, 0x61, 0x62, 0x63}));
  ExpectZeroFrom(sn, 17);
}

TEST(BuildFrame, FullPayloadFillsTheBlockAndIsChecksummedWhole) {
  std::vector<std::uint8_t> payload(kPayloadCapacity);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + 1);
  CommandFrame frame = BuildFrame(CMD_OTA_PACK, kFlagComplete, 0x01020304, payload.data(), payload.size());
  EXPECT_EQ(frame.length(), 1010);
  EXPECT_EQ(frame.number(), 0x01020304U);
  EXPECT_EQ(frame.bytes[8], 0x04);
  EXPECT_EQ(frame.bytes[11], 0x01);
  EXPECT_EQ(frame.bytes[kFrameSize - 1], payload.back());
  std::vector<std::uint8_t> covered(frame.bytes.begin(), frame.bytes.begin() + 12);
  covered.insert(covered.end(), payload.begin(), payload.end());
  ASSERT_EQ(covered.size(), 1022U);
  EXPECT_EQ(frame.checksum(), FrameChecksum(covered.data(), covered.size(), 0xFFFF));
}

TEST(BuildFrame, CommandIsStoredLowByteFirst) {
  CommandFrame frame = BuildFrame(CMD_WRITE_MODEL, kFlagComplete, 0, nullptr, 0);
  EXPECT_EQ(frame.bytes[3], 0x01);
  EXPECT_EQ(frame.bytes[4], 0x2F);
  EXPECT_EQ(frame.command(), 0x2F01);
}

}  // namespace
}  // namespace pellar
