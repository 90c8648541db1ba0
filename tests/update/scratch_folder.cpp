#include "update/scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pellar::testing {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pellar-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern + "/";
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& relative, const std::string& bytes) const {
  std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream(full, std::ios::binary) << bytes;
  return full.string();
}

std::string ScratchFolder::MakeFolder(const std::string& relative) const {
  std::filesystem::create_directories(std::filesystem::path(path_) / relative);
  return path_ + relative + "/";
}

std::string PatternBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761U + 1;
  for (char& byte : bytes) {
    state = state * 1103515245U + 12345U;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}

}  // namespace pellar::testing
