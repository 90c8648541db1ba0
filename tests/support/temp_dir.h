#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace pellar::testing {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The full path of a name in the folder.
  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  // Writes `content` to a file in the folder (making its folders) and returns its full path.
  std::string Write(const std::string& name, const std::string& content) const;
  std::string WriteBytes(const std::string& name, const std::vector<std::uint8_t>& content) const;
  std::string Read(const std::string& name) const;
  std::vector<std::uint8_t> ReadBytes(const std::string& name) const;
  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
  // The names directly in the folder, so a test can see that nothing was left behind.
  std::set<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

}  // namespace pellar::testing
