#include "update/update_files.h"

#include <filesystem>

namespace pellar::testing {

std::string Slashed(const TempDir& folder) { return folder.path().string() + "/"; }

std::string MakeFolder(const TempDir& folder, const std::string& relative) {
  std::filesystem::create_directories(folder.path() / relative);
  return Slashed(folder) + relative + "/";
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
