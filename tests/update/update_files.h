#pragma once

#include <cstdint>
#include <string>

#include "support/temp_dir.h"

namespace pellar::testing {

// The folder's path with a trailing "/", as the update joins paths.
std::string Slashed(const TempDir& folder);
// Creates a folder inside; returns its path with a trailing "/".
std::string MakeFolder(const TempDir& folder, const std::string& relative);
// Bytes that differ from packet to packet, so a lost, doubled or reordered packet shows.
std::string PatternBytes(std::size_t size, std::uint32_t seed = 1);

}  // namespace pellar::testing
