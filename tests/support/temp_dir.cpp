#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pellar::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pellar-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // A test may have taken the write permission away to make writing fail.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
  return file.string();
}

std::string TempDir::WriteBytes(const std::string& name, const std::vector<std::uint8_t>& content) const {
  return Write(name, std::string(content.begin(), content.end()));
}

std::vector<std::uint8_t> TempDir::ReadBytes(const std::string& name) const {
  std::string content = Read(name);
  return std::vector<std::uint8_t>(content.begin(), content.end());
}

std::set<std::string> TempDir::Names() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_))
    names.insert(entry.path().filename().string());
  return names;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

}  // namespace pellar::testing
