#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/text_codec.h"
#include "update/update_list.h"

namespace pellar {

// One entry of an update as it would be sent, worked out without touching any device.
struct PlannedEntry {
  UpdateEntry entry;
  std::string host_path;   // the file that would be sent; where it was first looked for if none
  std::int64_t size = -1;  // -1 when no file was found
  std::int64_t packets = 0;
  std::int64_t pacing_ms = 0;  // the fixed waits alone: 35 ms a packet, 8000 ms after ".lzma"
  std::vector<std::string> problems;  // each one would end the update
};

struct UpdatePlan {
  int file_count = 0;  // "file_num"
  std::vector<PlannedEntry> entries;
  // Problems of the list as a whole, and of entries not listed one by one.
  std::vector<std::string> problems;

  bool WouldSucceed() const;
  std::int64_t TotalBytes() const;
  std::int64_t TotalPackets() const;
  std::int64_t TotalPacingMs() const;
};

// Reads the list and finds each entry's file as the update run would, checking everything the run
// would refuse: no files, a file missing or too large, a device name too long or not encodable.
UpdatePlan PlanUpdate(const std::string& list_path, const TextCodec& codec,
                      const std::string& executable_dir);

}  // namespace pellar
