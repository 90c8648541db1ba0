#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/text_codec.h"
#include "update/update_list.h"

namespace pellar {

// One entry of an update list with its file read once, to be sent to many devices.
struct LoadedFile {
  UpdateEntry entry;
  std::string host_path;    // the file that was read
  std::string device_name;  // "DevicefilePath" in the wire encoding
  std::vector<std::uint8_t> bytes;
  std::string sha256;  // lower-case hex
};

// An update list and every file it names, held once in memory and shared read-only by every unit.
struct LoadedUpdate {
  std::string list_path;  // absolute
  std::vector<LoadedFile> files;

  std::int64_t TotalBytes() const;
};

// Reads the list and each file as a run would find them, checking everything a run would refuse
// (no files, a file missing or too large, a device name too long or not encodable). Nullopt with
// *problems naming each file and its problem.
std::optional<LoadedUpdate> LoadUpdate(const std::string& list_path, const TextCodec& codec,
                                       const std::string& executable_dir,
                                       std::vector<std::string>* problems);

// Lower-case hex SHA-256 of bytes.
std::string Sha256Hex(const std::uint8_t* bytes, std::size_t count);

}  // namespace pellar
