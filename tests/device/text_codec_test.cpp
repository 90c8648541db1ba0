#include "device/text_codec.h"

#include <gtest/gtest.h>

#include <clocale>

namespace pellar {
namespace {

TEST(TextCodec, EncodesToTheChosenCodePageAndRefusesWhatItCannotRepresent) {
  const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
  EXPECT_EQ(TextCodec::Make("GBK")->Encode(chinese), std::string("\xD6\xD0\xCE\xC4"));
  EXPECT_EQ(TextCodec::Make("UTF-8")->Encode(chinese)->size(), 6U);
  EXPECT_EQ(TextCodec::Make("GBK")->Encode("abc"), std::string("abc"));
  EXPECT_FALSE(TextCodec::Make("GBK")->Encode("\xF0\x9F\x98\x80"));  // an emoji has no GBK bytes
  EXPECT_FALSE(TextCodec::Make("ISO-8859-1")->Encode(chinese));
}

TEST(TextCodec, DecodesAndReplacesBytesThatDoNotDecode) {
  EXPECT_EQ(TextCodec::Make("GBK")->Decode("\xD6\xD0\xCE\xC4"), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(TextCodec::Utf8().Decode("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(TextCodec::Utf8().Decode("ok\xE4"), "ok\xEF\xBF\xBD");  // cut in the middle of a character
}

TEST(TextCodec, UnknownEncodingIsNamed) {
  std::string error;
  EXPECT_FALSE(TextCodec::Make("KLINGON-8", &error));
  EXPECT_EQ(error, "unknown encoding \"KLINGON-8\"");
}

TEST(TextCodec, TheCLocaleCountsAsUtf8) {
  std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(TextCodec::LocaleEncoding(), "UTF-8");
  EXPECT_EQ(TextCodec::Make("")->name(), "UTF-8");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(Utf16Units, CountAndCutAsTheWideStringsDid) {
  const std::string text = "A\xE4\xB8\xAD\xF0\x9F\x98\x80" "B";  // A, 中, an emoji (two units), B
  EXPECT_EQ(Utf16Length(text), 5U);
  EXPECT_EQ(Utf16Prefix(text, 2), "A\xE4\xB8\xAD");
  EXPECT_EQ(Utf16Prefix(text, 3), "A\xE4\xB8\xAD");  // never half a surrogate pair
  EXPECT_EQ(Utf16Prefix(text, 4), "A\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16Prefix(text, 10), text);
}

}  // namespace
}  // namespace pellar
