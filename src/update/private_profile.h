#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pellar {

// An INI file read the way the Windows private-profile functions read it, since update lists are
// written for those: section and key names compared without regard to case, the first section and
// the first key of a name win, blanks around names and values trimmed, one pair of enclosing
// double or single quotes removed. Text is UTF-8 or UTF-16 with a byte-order mark. Nothing here fails: what
// cannot be read is simply missing.
class PrivateProfile {
 public:
  // Reads the file afresh; a file that cannot be read, is no regular file or is larger than any
  // list (kTextFileLimit) gives an empty profile.
  static PrivateProfile Load(const std::string& path);
  // From the file's bytes as they stand.
  static PrivateProfile Parse(std::string_view bytes);

  // The value, cut to its first 1023 UTF-16 code units as the platform's 1024-unit buffer cuts it.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // The value or `fallback`, cut as Value cuts it.
  std::string String(std::string_view section, std::string_view key,
                     const std::string& fallback = "") const;
  // The value read as the platform reads integers: an optional sign and the leading digits;
  // no digits gives 0, a missing key `fallback`. Out-of-range values stop at the int limits.
  int Int(std::string_view section, std::string_view key, int fallback = 0) const;
  // The section names in file order, as written.
  std::vector<std::string> SectionNames() const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_;
  // The first section of each name, by its name in lower case: lists of many thousand entries are
  // looked up once per entry.
  std::unordered_map<std::string, std::size_t> first_section_;
};

// The leading integer of a text: optional blanks, an optional sign, digits; 0 when there are none.
int ParseLeadingInt(std::string_view text);

}  // namespace pellar
