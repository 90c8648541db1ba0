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

TEST(ReadField, ReadsTheFieldWithAnEmptyRequest) {
  InfoBench bench("[]", R"({"Version":"V1.2.3"})");
  EXPECT_EQ(ReadField(bench.context(), bench.Opener(), Field("version")), "V1.2.3");

  ASSERT_EQ(bench.Requests().size(), 1U);
  const CommandFrame& request = bench.Requests()[0];
  EXPECT_EQ(request.command(), CMD_READ_VERSION);
  EXPECT_EQ(request.flag(), kFlagComplete);
  EXPECT_EQ(request.length(), 0);
  EXPECT_EQ(request.checksum(), 0x0951);
  EXPECT_EQ(bench.Waits(), (std::vector<std::string>{"read 1024/3000 -> 1024"}));
  EXPECT_TRUE(bench.ui().messages().empty());
  EXPECT_TRUE(bench.LibraryReleased());
}

// A crafted answer to the SN read and the text that the read gives (empty: a failed read).
struct ReadCase {
  const char* name;
  const char* rule;
  const char* encoding;
  std::string text;
  double elapsed_ms = 0;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadAnswer : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadAnswer, GivesTheText) {
  const ReadCase& c = GetParam();
  InfoBench bench(std::string("[") + c.rule + "]", R"({"SN":"SN-1"})", c.encoding);
  EXPECT_EQ(ReadField(bench.context(), bench.Opener(), Field("sn")), c.text);
  std::vector<std::string> expected_messages;
  if (c.text.empty()) expected_messages.push_back("读SN失败!");
  EXPECT_EQ(bench.ui().messages(), expected_messages);
  EXPECT_EQ(bench.NowMs(), c.elapsed_ms);
  EXPECT_TRUE(bench.LibraryReleased());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadAnswer,
    ::testing::Values(
        ReadCase{"ForeignEchoStatusZero",
                 R"({"command":"0x2010","answer":"reply","status":0,"echo":"0x2011"})", "UTF-8", ""},
        ReadCase{"RightEchoStatusTwo", R"({"command":"0x2010","answer":"refuse","status":2})",
                 "UTF-8", ""},
        ReadCase{"NoAnswer", R"({"command":"0x2010","answer":"silent"})", "UTF-8", "", 3000},
        ReadCase{"ReadFails", R"({"command":"0x2010","answer":"fail"})", "UTF-8", ""},
        ReadCase{"PayloadStartsWithZero",
                 R"({"command":"0x2010","answer":"reply","payload":"\u0000ABC","length":4})",
                 "UTF-8", ""},
        ReadCase{"LengthThreeCuts",
                 R"({"command":"0x2010","answer":"reply","payload":"ABCDEF\u0000","length":3})",
                 "UTF-8", "ABC"},
        ReadCase{"LengthZeroReadsToTheZero",
                 R"({"command":"0x2010","answer":"reply","payload":"ABCDEF\u0000","length":0})",
                 "UTF-8", "ABCDEF"},
        ReadCase{"LengthTenReadsToTheZero",
                 R"({"command":"0x2010","answer":"reply","payload":"ABCDEF\u0000","length":10})",
                 "UTF-8", "ABCDEF"},
        // The length counts characters of the decoded text, not bytes on the wire.
        ReadCase{"LengthCountsCharacters",
                 R"({"command":"0x2010","answer":"reply","payload":"中文AB","length":2})", "UTF-8",
                 "中文"},
        // Bytes that the encoding does not know are shown, not dropped.
        ReadCase{"UndecodableByteIsReplaced",
                 R"({"command":"0x2010","answer":"reply","payload":"AB\u00ff","length":0})", "ASCII",
                 "AB\xEF\xBF\xBD\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadField, DecodesTheWireEncoding) {
  // Rule payloads are UTF-8 text, so the GBK bytes reach the device's field by a write.
  InfoBench bench("[]", "{}", "GBK");
  ASSERT_TRUE(WriteField(bench.context(), bench.Opener(), Field("cmei"), "中文"));
  EXPECT_EQ(bench.sim().Field(0, "CMEI"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(ReadField(bench.context(), bench.Opener(), Field("cmei")), "中文");
  EXPECT_TRUE(bench.LibraryReleased());
}

TEST(ReadField, FullPayloadWithoutZeroIsRead) {
  std::string full(kPayloadCapacity, 'k');
  InfoBench bench("[]", R"({"AppKey":")" + full + R"("})");
  EXPECT_EQ(ReadField(bench.context(), bench.Opener(), Field("appkey")), full);
}

TEST(ReadField, NoSelectionShowsOnlyTheOpenMessage) {
  InfoBench bench;
  bench.Deselect();
  EXPECT_EQ(ReadField(bench.context(), bench.Opener(), Field("model")), "");
  EXPECT_EQ(bench.ui().messages(), (std::vector<std::string>{"please select devices!"}));
  EXPECT_TRUE(bench.Ops().empty());
}

}  // namespace
}  // namespace pellar
