#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace pellar::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pellar-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make " << pattern;
    root_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  // Writes `bytes` to `name` and returns its path.
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream file(root_ / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) ADD_FAILURE() << "cannot write " << name;
    return Path(name);
  }

  std::vector<std::uint8_t> Read(const std::string& name) const {
    std::ifstream file(root_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(root_ / name); }

  // The names in the folder, so that a test can see nothing was left behind.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_))
      names.insert(entry.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path root_;
};

// `size` bytes that differ from those of another `seed`, so that misplaced data shows.
inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

}  // namespace pellar::testing
