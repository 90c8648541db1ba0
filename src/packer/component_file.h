#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pellar {

// ReadComponentFile's results other than a size.
inline constexpr std::int32_t kComponentUnreadable = -1;  // not opened, not a file, or fell short
inline constexpr std::int32_t kComponentTooLarge = -2;    // does not fit behind `offset`

// The size of the component file at `path` (UTF-8, as the system names files), or nothing when it
// cannot be opened for reading or is not a regular file. Reads none of its bytes.
std::optional<std::uint64_t> ComponentFileSize(const std::string& path);

// Reads the whole component file into `buffer` from byte `offset` on and returns its size. A file
// that yields fewer bytes than its size (it shrank meanwhile) is unreadable: its record would
// otherwise claim bytes that were never read.
std::int32_t ReadComponentFile(std::span<std::uint8_t> buffer, std::int32_t offset,
                               const std::string& path);

}  // namespace pellar
