#include "update/private_profile.h"

#include <algorithm>
#include <climits>
#include "device/regular_file.h"
#include "device/text_codec.h"

namespace pellar {
namespace {

// The platform reads each value into a buffer of 1024 UTF-16 code units, terminator included.
constexpr std::size_t kValueUnits = 1023;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

// The text as UTF-8: UTF-16 when a byte-order mark says so, otherwise UTF-8 (a byte-order mark
// dropped). Bytes that do not decode become U+FFFD rather than disappearing.
std::string DecodeText(std::string_view bytes) {
  auto starts = [&bytes](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
    std::optional<TextCodec> utf16 = TextCodec::Make(starts("\xFF\xFE") ? "UTF-16LE" : "UTF-16BE");
    return utf16 ? utf16->Decode(bytes.substr(2)) : std::string();
  }
  if (starts("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return TextCodec::Utf8().Decode(bytes);
}

std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

// The platform takes one pair of either kind of quotes off, when the same kind stands at both ends.
std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

PrivateProfile PrivateProfile::Load(const std::string& path) {
  FileRead read = ReadRegularFile(path, kTextFileLimit);
  return read.ok() ? Parse(read.bytes) : PrivateProfile();
}

PrivateProfile PrivateProfile::Parse(std::string_view bytes) {
  PrivateProfile profile;
  const std::string text = DecodeText(bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.front() == '[') {
      std::size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      profile.sections_.push_back({std::string(Trim(name)), {}});
      profile.first_section_.try_emplace(FoldedName(profile.sections_.back().name),
                                         profile.sections_.size() - 1);
      continue;
    }
    std::size_t equals = line.find('=');
    if (profile.sections_.empty() || equals == std::string_view::npos) continue;
    profile.sections_.back().entries.push_back(
        {std::string(Trim(line.substr(0, equals))), Unquote(Trim(line.substr(equals + 1)))});
  }
  return profile;
}

const PrivateProfile::Section* PrivateProfile::FindSection(std::string_view name) const {
  auto found = first_section_.find(FoldedName(name));
  return found == first_section_.end() ? nullptr : &sections_[found->second];
}

std::optional<std::string> PrivateProfile::Value(std::string_view section, std::string_view key) const {
  // Only the first section of a name is searched.
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  for (const Entry& entry : found->entries)
    if (SameName(entry.key, key)) return Utf16Prefix(entry.value, kValueUnits);
  return std::nullopt;
}

std::string PrivateProfile::String(std::string_view section, std::string_view key,
                                   const std::string& fallback) const {
  std::optional<std::string> value = Value(section, key);
  return value ? *value : Utf16Prefix(fallback, kValueUnits);
}

int PrivateProfile::Int(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> value = Value(section, key);
  return value ? ParseLeadingInt(*value) : fallback;
}

std::vector<std::string> PrivateProfile::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& section : sections_) names.push_back(section.name);
  return names;
}

int ParseLeadingInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    magnitude = std::min<long long>(magnitude * 10 + (c - '0'), 1LL + INT_MAX);
  }
  long long value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace pellar
