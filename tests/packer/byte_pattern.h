#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pellar::testing {

// `size` bytes that differ from those of another `seed`, so that misplaced data shows.
inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

}  // namespace pellar::testing
