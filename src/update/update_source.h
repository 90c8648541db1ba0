#pragma once

#include <cstdint>

#include "update/host_file.h"
#include "update/update_list.h"

namespace pellar {

// An entry's file as a run sends it: its bytes, or why there are none.
struct SourceFile {
  HostFileStatus status = HostFileStatus::kOpenFailed;
  const std::uint8_t* data = nullptr;
  std::int64_t size = 0;
};

// Where a run takes its entries and their files from: the list file and the disk, read as the run
// goes (the window, pellar-cli update), or an update read once and held in memory for many
// devices at once (the station).
class UpdateSource {
 public:
  virtual ~UpdateSource() = default;
  virtual long long FileCount() = 0;
  virtual UpdateEntry Entry(long long index) = 0;
  // The entry's bytes, valid until the next Load.
  virtual SourceFile Load(const UpdateEntry& entry) = 0;
};

}  // namespace pellar
