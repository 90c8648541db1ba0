#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellar {

enum class HostFileStatus {
  kLoaded,      // read whole (or, when only probed, found and small enough)
  kOpenFailed,  // no candidate is a readable regular file, or it could not be read whole
  kTooLarge,    // larger than the room given
};

// The message that tells the operator why a file was not sent; empty for kLoaded.
const char* HostFileMessage(HostFileStatus status);

struct HostFile {
  HostFileStatus status = HostFileStatus::kOpenFailed;
  std::string path;        // the candidate that opened
  std::int64_t size = 0;   // its size, also when too large
};

// Opens the first candidate that is a readable regular file and reads it whole into `buffer`,
// never past `capacity` bytes. With a null buffer it only finds the file and its size.
HostFile LoadHostFile(const std::vector<std::string>& candidates, std::uint8_t* buffer,
                      std::size_t capacity);

}  // namespace pellar
