#include "device/text_codec.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace pellar {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

// One conversion descriptor for the length of one call.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : descriptor_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  // iconv_open reports failure as (iconv_t)-1.
  bool ok() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

  // Converts as much as it can; returns false at the first byte sequence it cannot convert,
  // leaving *input pointing at it.
  bool Convert(const char** input, std::size_t* left, std::string* out) {
    char buffer[256];
    while (*left > 0) {
      char* cursor = buffer;
      std::size_t room = sizeof buffer;
      std::size_t result = iconv(descriptor_, const_cast<char**>(input), left, &cursor, &room);
      out->append(buffer, static_cast<std::size_t>(cursor - buffer));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    char* cursor = buffer;
    std::size_t room = sizeof buffer;
    iconv(descriptor_, nullptr, nullptr, &cursor, &room);  // flush any shift state
    out->append(buffer, static_cast<std::size_t>(cursor - buffer));
    return true;
  }

 private:
  iconv_t descriptor_;
};

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string TextCodec::LocaleEncoding() {
  std::string codeset = nl_langinfo(CODESET);
  if (codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII") return "UTF-8";
  return codeset;
}

std::optional<TextCodec> TextCodec::Make(const std::string& encoding, std::string* error) {
  std::string name = encoding.empty() ? LocaleEncoding() : encoding;
  if (!Converter(name, "UTF-8").ok() || !Converter("UTF-8", name).ok()) {
    if (error != nullptr) *error = "unknown encoding \"" + name + "\"";
    return std::nullopt;
  }
  return TextCodec(name);
}

std::optional<std::string> TextCodec::Encode(std::string_view utf8) const {
  Converter converter(encoding_, "UTF-8");
  const char* input = utf8.data();
  std::size_t left = utf8.size();
  std::string out;
  if (!converter.ok() || !converter.Convert(&input, &left, &out)) return std::nullopt;
  return out;
}

std::string TextCodec::Decode(std::string_view bytes) const {
  Converter converter("UTF-8", encoding_);
  const char* input = bytes.data();
  std::size_t left = bytes.size();
  std::string out;
  if (!converter.ok()) return out;
  while (!converter.Convert(&input, &left, &out)) {
    out += kReplacement;
    ++input;
    --left;
  }
  return out;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
    units += length == 4 ? 2 : 1;
    i += length;
  }
  return units;
}

std::string Utf16Prefix(std::string_view utf8, std::size_t units) {
  std::size_t i = 0;
  std::size_t taken = 0;
  while (i < utf8.size()) {
    std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
    std::size_t cost = length == 4 ? 2 : 1;
    if (taken + cost > units) break;
    taken += cost;
    i += length;
  }
  return std::string(utf8.substr(0, std::min(i, utf8.size())));
}

}  // namespace pellar
