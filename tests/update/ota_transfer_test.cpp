#include "update/ota_transfer.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "device/command_codes.h"
#include "device/device_table.h"
#include "support/sim_bench.h"
#include "update/update_files.h"

namespace pellar {
namespace {

using testing::OneDevice;
using testing::PatternBytes;
using testing::SimBench;
using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Lines Times(int n, const Lines& lines) {
  Lines all;
  for (int i = 0; i < n; ++i) all = all + lines;
  return all;
}

// Waits of the steps: every read as "read size/timeout -> result", every fixed wait as "sleep ms".
const Lines kStartOk = {"read 14/1000 -> 14"};
const Lines kFileTypeOk = {"read 1024/1000 -> 1024"};
const Lines kPacketOk = {"sleep 30", "sleep 5", "read 1024/3000 -> 1024"};
const Lines kStatusOk = {"read 1024/3000 -> 1024"};
Lines PacketsOk(int n) { return Times(n, kPacketOk); }

// A request's header as "command/flag/length/number" (command in hex).
std::string Header(const CommandFrame& frame) {
  char text[48];
  std::snprintf(text, sizeof text, "%04x/%u/%u/%u", frame.command(), frame.flag(), frame.length(),
                frame.number());
  return text;
}
Lines Headers(const std::vector<CommandFrame>& frames) {
  Lines headers;
  for (const CommandFrame& frame : frames) headers.push_back(Header(frame));
  return headers;
}
const Lines kStartFrame = {"3000/0/0/0"};
const Lines kStatusFrame = {"3300/0/0/0"};
Lines FileTypeFrame(std::size_t name_length) { return {"3150/2/" + std::to_string(name_length) + "/1"}; }
// The data packets of a file of `size` bytes, all sent once.
Lines PacketFrames(std::size_t size) {
  Lines frames;
  std::uint32_t number = 0;
  for (std::size_t position = 0; position < size; position += 1010) {
    std::size_t count = std::min<std::size_t>(size - position, 1010);
    frames.push_back("3200/" + std::string(size - position > 1010 ? "1" : "2") + "/" +
                     std::to_string(count) + "/" + std::to_string(++number));
  }
  return frames;
}

struct Transfer {
  int result = 0;
  OtaTransferReport report;
};

// Opens the simulated device, runs one transfer and closes it again.
Transfer Send(SimBench& bench, const std::string& data, const std::string& name = "fw.bin") {
  Transfer transfer;
  DeviceHandle device = OpenDevicePath(bench.context(), "sim:0");
  EXPECT_NE(device, nullptr);
  transfer.result = OtaTransfer(bench.context(), device, reinterpret_cast<const std::uint8_t*>(data.data()),
                                static_cast<std::int32_t>(data.size()), name, &transfer.report);
  CloseDevice(bench.context().hid, device);
  return transfer;
}

void ExpectReceivedWhole(SimBench& bench, const std::string& data, const std::string& name) {
  const std::vector<ReceivedFile>& files = bench.sim().ReceivedFiles(0);
  ASSERT_EQ(files.size(), 1U);
  EXPECT_EQ(files[0].device_name, name);
  EXPECT_TRUE(files[0].data == data) << "received " << files[0].data.size() << " of " << data.size();
  EXPECT_TRUE(files[0].complete);
  EXPECT_EQ(bench.sim().MalformedRequests(0), 0);
}

TEST(OtaTransfer, StartFrameBytesAndBlockingModeFirst) {
  SimBench bench(OneDevice());
  Send(bench, "x");
  const CommandFrame& start = bench.Requests().front();
  EXPECT_EQ(std::vector<std::uint8_t>(start.bytes.begin(), start.bytes.begin() + 14),
            (std::vector<std::uint8_t>{0x01, 0x5A, 0x5A, 0x00, 0x30, 0, 0, 0, 0, 0, 0, 0, 0x81, 0x15}));
  Lines ops = bench.Ops();
  EXPECT_EQ(Lines(ops.begin(), ops.begin() + 4), (Lines{"init", "open", "nonblocking", "write"}));
  EXPECT_EQ(bench.trace()[2]["value"], 0);
}

struct SizeCase {
  const char* name;
  std::size_t size;
};

class TransferSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(TransferSizes, PacketsFlagsWaitsAndTheFileOnTheDevice) {
  const std::size_t size = GetParam().size;
  SimBench bench(OneDevice());
  std::string data = PatternBytes(size);
  Transfer transfer = Send(bench, data, "app.bin");
  EXPECT_EQ(transfer.result, 0);
  EXPECT_FALSE(transfer.report.cut_short);
  EXPECT_EQ(Headers(bench.Requests()), kStartFrame + FileTypeFrame(7) + PacketFrames(size) + kStatusFrame);
  int packets = static_cast<int>((size + 1009) / 1010);
  EXPECT_EQ(bench.Waits(), kStartOk + kFileTypeOk + PacketsOk(packets) + kStatusOk);
  EXPECT_EQ(bench.ui().breaths(), packets);
  EXPECT_TRUE(bench.ui().messages().empty());
  ExpectReceivedWhole(bench, data, "app.bin");
  EXPECT_TRUE(bench.LibraryReleased());
}

INSTANTIATE_TEST_SUITE_P(Sizes, TransferSizes,
                         ::testing::Values(SizeCase{"Empty", 0}, SizeCase{"OneFullPacket", 1010},
                                           SizeCase{"FullThenOneByte", 1011},
                                           SizeCase{"TwoFullPackets", 2020}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OtaTransfer, EmptyFileSetsNoProgressAndAnEmptyNameSendsAZeroPayload) {
  SimBench bench(OneDevice());
  EXPECT_EQ(Send(bench, "", "").result, 0);
  EXPECT_TRUE(bench.ui().progress().empty());
  const CommandFrame& file_type = bench.Requests()[1];
  EXPECT_EQ(Header(file_type), "3150/2/0/1");
  for (std::size_t i = 14; i < kFrameSize; ++i) ASSERT_EQ(file_type.bytes[i], 0) << i;
}

struct ProgressCase {
  const char* name;
  std::size_t size;
  int packets;
  int step;
  int last_position;
};

class TransferProgress : public ::testing::TestWithParam<ProgressCase> {};

// Each position is set before the packet at 1, 1 + step, 1 + 2 step, ... (counting from 1).
TEST_P(TransferProgress, PositionsFollowTheWorkedTable) {
  const ProgressCase& c = GetParam();
  SimBench bench(OneDevice());
  std::string data = PatternBytes(c.size);
  ASSERT_EQ(Send(bench, data).result, 0);
  std::vector<int> expected_positions;
  std::vector<int> expected_packets;
  for (int position = 0; position <= c.last_position; ++position) {
    expected_positions.push_back(position);
    expected_packets.push_back(1 + position * c.step);
  }
  std::vector<int> positions;
  std::vector<int> at_packets;
  int packet = 0;
  for (const std::string& event : bench.ui().events()) {
    if (event == "breathe") ++packet;
    if (event.rfind("progress: ", 0) == 0) {
      positions.push_back(std::stoi(event.substr(10)));
      at_packets.push_back(packet);
    }
  }
  EXPECT_EQ(packet, c.packets);
  EXPECT_EQ(positions, expected_positions);
  EXPECT_EQ(at_packets, expected_packets);
  ExpectReceivedWhole(bench, data, "fw.bin");
}

INSTANTIATE_TEST_SUITE_P(
    WorkedTable, TransferProgress,
    ::testing::Values(ProgressCase{"Size50000", 50000, 50, 1, 49},
                      ProgressCase{"Size102399", 102399, 102, 1, 101},
                      ProgressCase{"Size102400", 102400, 102, 1, 101},
                      ProgressCase{"Size150000", 150000, 149, 1, 148},
                      ProgressCase{"Size204800", 204800, 203, 2, 101},
                      ProgressCase{"Size1048576", 1048576, 1039, 10, 103},
                      ProgressCase{"Size10485760", 10485760, 10382, 102, 101}),
    [](const auto& info) { return std::string(info.param.name); });

// The device's behaviour as simulator rules, and what the transfer must do about it.
struct RefusalCase {
  const char* name;
  std::string rules;
  std::size_t size;
  int result;
  Lines messages;
  Lines frames;
  Lines waits;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class TransferRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TransferRefusals, RepeatsPausesAndMessages) {
  const RefusalCase& c = GetParam();
  SimBench bench(OneDevice(c.rules));
  std::string data = PatternBytes(c.size);
  Transfer transfer = Send(bench, data);
  EXPECT_EQ(transfer.result, c.result);
  EXPECT_EQ(bench.ui().messages(), c.messages);
  EXPECT_EQ(Headers(bench.Requests()), c.frames);
  EXPECT_EQ(bench.Waits(), c.waits);
  if (c.result == 0) {
    ExpectReceivedWhole(bench, data, "fw.bin");
  } else {
    ASSERT_FALSE(bench.ui().progress().empty());
    EXPECT_EQ(bench.ui().progress().back(), 0);
    EXPECT_EQ(bench.ui().events().back(), "progress: 0");  // the message first, then the reset
  }
  EXPECT_TRUE(bench.LibraryReleased());
}

const Lines kSilentPacket = {"sleep 5", "read 1024/3000 -> 0"};
const Lines kRefusedPacket = {"sleep 5", "read 1024/3000 -> 1024"};

INSTANTIATE_TEST_SUITE_P(
    Device, TransferRefusals,
    ::testing::Values(
        RefusalCase{"StartRefusedSixTimes", R"([{"command":"0x3000","answer":"refuse","status":1,"count":6}])",
                    1010, 0, {}, Times(7, kStartFrame) + FileTypeFrame(6) + PacketFrames(1010) + kStatusFrame,
                    Times(7, kStartOk) + kFileTypeOk + PacketsOk(1) + kStatusOk},
        RefusalCase{"StartRefusedSevenTimes", R"([{"command":"0x3000","answer":"refuse","status":1}])",
                    1010, -1, {"send the cmd of start update failed!"}, Times(7, kStartFrame),
                    Times(7, kStartOk)},
        RefusalCase{"StartUnanswered", R"([{"command":"0x3000","answer":"silent"}])", 1010, -1,
                    {"the host read data timeout, please ensure the devices is online ..."}, kStartFrame,
                    {"read 14/1000 -> 0"}},
        RefusalCase{"StartReadFails", R"([{"command":"0x3000","answer":"fail"}])", 1010, -1,
                    {"the host read data timeout, please ensure the devices is online ..."}, kStartFrame,
                    {"read 14/1000 -> -1"}},
        RefusalCase{"StartEchoesAnotherCommand", R"([{"command":"0x3000","answer":"echo","echo":"0x3001"}])",
                    0, -1, {"send the cmd of start update failed!"}, Times(7, kStartFrame), Times(7, kStartOk)},
        RefusalCase{"FileTypeEchoesAnotherCommand",
                    R"([{"command":"0x3150","answer":"echo","echo":"0x3300"}])", 1010, -1,
                    {"send the filetype to devices failed!"}, kStartFrame + Times(7, FileTypeFrame(6)),
                    kStartOk + Times(7, kFileTypeOk)},
        RefusalCase{"FileTypeUnansweredOnceIsRepeatedAtOnce",
                    R"([{"command":"0x3150","answer":"silent","count":1}])", 0, 0, {},
                    kStartFrame + Times(2, FileTypeFrame(6)) + kStatusFrame,
                    kStartOk + Lines{"read 1024/1000 -> 0"} + kFileTypeOk + kStatusOk},
        RefusalCase{"PacketRefusedOnce", R"([{"command":"0x3200","answer":"refuse","status":3,"after":1,"count":1}])",
                    3030, 0, {},
                    kStartFrame + FileTypeFrame(6) + Lines{"3200/1/1010/1", "3200/1/1010/2", "3200/1/1010/2",
                                                           "3200/2/1010/3"} + kStatusFrame,
                    kStartOk + kFileTypeOk + PacketsOk(1) + Lines{"sleep 30"} + kRefusedPacket +
                        Lines{"sleep 200"} + kRefusedPacket + PacketsOk(1) + kStatusOk},
        RefusalCase{"DeviceStopsAnsweringMidData", R"([{"command":"0x3200","answer":"silent","after":2}])",
                    5000, -1, {"send ota pack failed!"},
                    kStartFrame + FileTypeFrame(6) + Lines{"3200/1/1010/1", "3200/1/1010/2"} +
                        Times(7, {"3200/1/1010/3"}),
                    kStartOk + kFileTypeOk + PacketsOk(2) + Lines{"sleep 30"} + kSilentPacket +
                        Times(6, Lines{"sleep 200"} + kSilentPacket)},
        RefusalCase{"StatusRefusedSevenTimes", R"([{"command":"0x3300","answer":"refuse","status":5}])", 1, -1,
                    {"get the ota status failed!"},
                    kStartFrame + FileTypeFrame(6) + PacketFrames(1) + Times(7, kStatusFrame),
                    kStartOk + kFileTypeOk + PacketsOk(1) + Times(7, kStatusOk)},
        RefusalCase{"StatusRefusedSixTimes", R"([{"command":"0x3300","answer":"refuse","status":5,"count":6}])",
                    1, 0, {}, kStartFrame + FileTypeFrame(6) + PacketFrames(1) + Times(7, kStatusFrame),
                    kStartOk + kFileTypeOk + PacketsOk(1) + Times(7, kStatusOk)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OtaTransfer, ARepeatedPacketIsTheSameFrameAndTheProgressDoesNotAdvance) {
  SimBench bench(OneDevice(R"([{"command":"0x3200","answer":"refuse","status":3,"after":1,"count":1}])"));
  ASSERT_EQ(Send(bench, PatternBytes(3030)).result, 0);
  const std::vector<CommandFrame>& requests = bench.Requests();
  EXPECT_TRUE(requests[3].bytes == requests[4].bytes);
  EXPECT_EQ(bench.ui().breaths(), 3);
  EXPECT_EQ(bench.ui().progress(), (std::vector<int>{0, 1, 2}));
}

TEST(OtaTransfer, ACloseRequestEndsTheDataButNotTheStatusStep) {
  struct Case {
    const char* name;
    std::string rules;
    int result;
    Lines messages;
  };
  const Case cases[] = {
      {"StatusAccepted", "[]", 0, {}},
      {"StatusRefused", R"([{"command":"0x3300","answer":"refuse","status":9}])", -1,
       {"get the ota status failed!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimBench bench(OneDevice(c.rules));
    bench.ui().RequestCloseAtBreath(3);
    std::string data = PatternBytes(5000);
    Transfer transfer = Send(bench, data);
    EXPECT_EQ(transfer.result, c.result);
    EXPECT_TRUE(transfer.report.cut_short);
    EXPECT_EQ(bench.ui().messages(), c.messages);
    Lines status_frames = c.result == 0 ? kStatusFrame : Times(7, kStatusFrame);
    EXPECT_EQ(Headers(bench.Requests()),
              (kStartFrame + FileTypeFrame(6) + Lines{"3200/1/1010/1", "3200/1/1010/2"} + status_frames));
    Lines status_waits = c.result == 0 ? kStatusOk : Times(7, kStatusOk);
    EXPECT_EQ(bench.Waits(), kStartOk + kFileTypeOk + PacketsOk(2) + status_waits);
    EXPECT_EQ(bench.ui().breaths(), 3);
    ASSERT_EQ(bench.sim().ReceivedFiles(0).size(), 1U);
    EXPECT_EQ(bench.sim().ReceivedFiles(0)[0].data, data.substr(0, 2020));
    EXPECT_TRUE(bench.LibraryReleased());
  }
}

TEST(OtaTransfer, ANameLongerThanOneFrameIsRefusedBeforeTheStartStep) {
  SimBench bench(OneDevice());
  std::string long_name(1011, 'n');
  EXPECT_EQ(Send(bench, "data", long_name).result, -1);
  EXPECT_EQ(bench.ui().messages(), Lines{"the device file name is too long!"});
  EXPECT_TRUE(bench.Requests().empty());
  EXPECT_TRUE(bench.LibraryReleased());
}

}  // namespace
}  // namespace pellar
