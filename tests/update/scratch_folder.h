#pragma once

#include <cstdint>
#include <string>

namespace pellar::testing {

// A temporary folder for list and firmware files, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path with a trailing "/".
  const std::string& path() const { return path_; }
  // Writes `bytes` to the relative path, creating folders on the way; returns the full path.
  std::string Write(const std::string& relative, const std::string& bytes) const;
  // Creates an empty folder; returns its full path with a trailing "/".
  std::string MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

// Bytes that differ from packet to packet, so a lost, doubled or reordered packet shows.
std::string PatternBytes(std::size_t size, std::uint32_t seed = 1);

}  // namespace pellar::testing
