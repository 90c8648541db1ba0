#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pellar {

// Converts between the program's UTF-8 text and the bytes a device expects: the stand-in for the
// active code page. Both fronts let the operator name it (--encoding), since devices built for a
// double-byte code page expect its bytes.
class TextCodec {
 public:
  // The locale's character set, with the C and POSIX locales taken as UTF-8.
  static std::string LocaleEncoding();
  // Nullopt, with *error set, when iconv does not know the name.
  static std::optional<TextCodec> Make(const std::string& encoding, std::string* error = nullptr);
  static TextCodec Utf8() { return TextCodec("UTF-8"); }

  // The bytes of the text; nullopt when a character cannot be represented in the encoding.
  std::optional<std::string> Encode(std::string_view utf8) const;
  // Bytes that do not decode become U+FFFD, never dropped.
  std::string Decode(std::string_view bytes) const;
  const std::string& name() const { return encoding_; }

 private:
  explicit TextCodec(std::string encoding) : encoding_(std::move(encoding)) {}
  std::string encoding_;
};

// UTF-16 code units of a UTF-8 text (what the original counted as characters).
std::size_t Utf16Length(std::string_view utf8);
// The first `units` UTF-16 code units of a UTF-8 text.
std::string Utf16Prefix(std::string_view utf8, std::size_t units);

}  // namespace pellar
