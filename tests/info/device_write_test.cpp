#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "info/device_field.h"
#include "info/field_procedures.h"
#include "info_bench.h"

namespace pellar {
namespace {

using testing::InfoBench;

const DeviceField& Field(const char* cli_name) { return *FindDeviceField(cli_name); }

std::string PayloadOf(const CommandFrame& frame) {
  return std::string(reinterpret_cast<const char*>(frame.payload()), frame.length());
}

TEST(WriteField, SnAbcIsTheWorkedFrameAndIsStored) {
  InfoBench bench;
  EXPECT_TRUE(WriteField(bench.context(), bench.Opener(), Field("sn"), "abc"));

  ASSERT_EQ(bench.Requests().size(), 1U);
  std::vector<std::uint8_t> expected = {0x01, 0x5A, 0x5A, 0x11, 0x20, 0x02, 0x03, 0x00, 0x00,
                                        0x00, 0x00, 0x00, 0x02, 0x18, 0x61, 0x62, 0x63};
  expected.resize(kFrameSize, 0);
  const auto& sent = bench.Requests()[0].bytes;
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.end()), expected);
  EXPECT_EQ(bench.Ops(), (std::vector<std::string>{"init", "open", "write", "read", "close", "exit"}));
  EXPECT_EQ(bench.Waits(), (std::vector<std::string>{"read 1024/1000 -> 1024"}));
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"写入SN成功!"}));
  EXPECT_EQ(bench.sim().Field(0, "SN"), "abc");
  EXPECT_TRUE(bench.LibraryReleased());
}

TEST(WriteField, LengthCountsBytesOfTheWireEncoding) {
  struct Case {
    const char* encoding;
    std::string bytes;
  };
  for (const Case& c : {Case{"GBK", "\xD6\xD0\xCE\xC4"}, Case{"UTF-8", "中文"}}) {
    SCOPED_TRACE(c.encoding);
    InfoBench bench("[]", "{}", c.encoding);
    EXPECT_TRUE(WriteField(bench.context(), bench.Opener(), Field("model"), "中文"));
    ASSERT_EQ(bench.Requests().size(), 1U);
    EXPECT_EQ(bench.Requests()[0].length(), c.bytes.size());
    EXPECT_EQ(PayloadOf(bench.Requests()[0]), c.bytes);
  }
}

// How the device answers a write, and what the operator then sees.
struct AnswerCase {
  const char* name;
  const char* rule;
  bool written;
  const char* message;
  double elapsed_ms;
};

void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.name; }

class WriteAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(WriteAnswer, IsJudgedByStatusAlone) {
  const AnswerCase& c = GetParam();
  InfoBench bench(std::string("[") + c.rule + "]");
  EXPECT_EQ(WriteField(bench.context(), bench.Opener(), Field("pid"), "0x5678"), c.written);
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{c.message}));
  EXPECT_EQ(bench.NowMs(), c.elapsed_ms);
  EXPECT_TRUE(bench.LibraryReleased());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WriteAnswer,
    ::testing::Values(
        AnswerCase{"ForeignEchoStatusZero",
                   R"({"command":"0x2041","answer":"reply","status":0,"echo":"0x1234"})", true,
                   "写入PID成功!", 0},
        AnswerCase{"RightEchoStatusOne", R"({"command":"0x2041","answer":"refuse","status":1})",
                   false, "写入PID失败!", 0},
        AnswerCase{"NoAnswer", R"({"command":"0x2041","answer":"silent"})", false, "写入PID失败!",
                   1000},
        AnswerCase{"ReadFails", R"({"command":"0x2041","answer":"fail"})", false, "写入PID失败!", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteField, EmptyTextWithoutSelectionShowsOnlyTheOpenMessage) {
  InfoBench bench;
  bench.Deselect();
  EXPECT_FALSE(WriteField(bench.context(), bench.Opener(), Field("sn"), ""));
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"please select devices!"}));
  EXPECT_TRUE(bench.Ops().empty());
}

TEST(WriteField, OpenFailureShowsOnlyTheOpenMessage) {
  InfoBench bench;
  DeviceTable gone{{"Acme", "Cam", "0x9999", "0x1234"}};
  DeviceOpener open = [&] { return OpenSelectedDevice(bench.context(), gone, {{0}, 0}); };
  EXPECT_FALSE(WriteField(bench.context(), open, Field("sn"), "abc"));
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"HID open failed!"}));
  EXPECT_TRUE(bench.Requests().empty());
  EXPECT_TRUE(bench.LibraryReleased());
}

// Texts refused before anything is sent: the device is opened and closed, nothing written.
struct RefusedCase {
  const char* name;
  const char* encoding;
  std::string text;
  const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class RefusedText : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedText, OpensClosesAndSendsNothing) {
  const RefusedCase& c = GetParam();
  InfoBench bench("[]", "{}", c.encoding);
  EXPECT_FALSE(WriteField(bench.context(), bench.Opener(), Field("sn"), c.text));
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{c.message}));
  EXPECT_EQ(bench.Ops(), (std::vector<std::string>{"init", "open", "close", "exit"}));
  EXPECT_EQ(bench.sim().Field(0, "SN"), std::nullopt);
  EXPECT_TRUE(bench.LibraryReleased());
}

std::string Repeat(const std::string& unit, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += unit;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedText,
    ::testing::Values(RefusedCase{"Empty", "UTF-8", "", "SN不可以为空"},
                      RefusedCase{"OneByteTooMany", "UTF-8", std::string(1011, 'x'),
                                  "SN不可以超过1010字节"},
                      // 506 characters, but 1012 bytes on the wire.
                      RefusedCase{"DoubleByteOverflow", "GBK", Repeat("中", 506),
                                  "SN不可以超过1010字节"},
                      RefusedCase{"NotInGbk", "GBK", "ab😀", "SN含有无法编码的字符"},
                      RefusedCase{"NotInLatin1", "ISO-8859-1", "é中", "SN含有无法编码的字符"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteField, FullPayloadAndBlanksAreSent) {
  for (const std::string& text : {std::string(kPayloadCapacity, 'x'), std::string("  ")}) {
    InfoBench bench;
    EXPECT_TRUE(WriteField(bench.context(), bench.Opener(), Field("appkey"), text));
    ASSERT_EQ(bench.Requests().size(), 1U);
    EXPECT_EQ(PayloadOf(bench.Requests()[0]), text);
    EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"写入AppKey成功!"}));
  }
}

TEST(DeviceFieldTable, CodesPairUpAndControlsAreDistinct) {
  std::vector<int> ids;
  for (const DeviceField& field : kDeviceFields) {
    ids.push_back(field.read.button_id);
    ids.push_back(field.read.edit_id);
    if (!field.write) continue;
    EXPECT_EQ(field.write->command, field.read.command + 1) << field.name;
    ids.push_back(field.write->button_id);
    ids.push_back(field.write->edit_id);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

}  // namespace
}  // namespace pellar
