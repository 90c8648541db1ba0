#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pellar {

// Where a slot's unit stands. An ended state stays until the device is unplugged; a unit whose
// device left during its update is kUnplugged (and failed in its record).
enum class UnitState { kIdle, kRunning, kPassed, kFailed, kCancelled, kUnplugged };

// "idle", "running", "passed", "failed", "cancelled", "unplugged".
const char* UnitStateName(UnitState state);
bool UnitEnded(UnitState state);

// One slot as the fronts show it: a copy, taken under the engine's lock.
struct UnitSnapshot {
  std::uint64_t unit_id = 0;  // a new number for every unit, also a new device in the same port
  std::string port;           // the slot's name: the USB port, or the HID path when none is known
  std::string path;
  std::string manufacturer;
  std::string product;
  UnitState state = UnitState::kIdle;
  std::string file;          // display name of the file being (or last) sent
  int file_number = 0;       // 1-based; 0 before the first
  int file_count = 0;
  std::int64_t sent = 0;     // bytes of the current file the device accepted
  std::int64_t size = 0;     // of the current file
  std::int64_t unit_sent = 0;   // over every file of the unit
  std::int64_t unit_size = 0;
  double rate = 0;           // bytes per second over the current file
  double seconds_left = -1;  // for the whole unit, at the current rate; -1 when not known
  std::vector<std::string> messages;  // the failure messages, in order
  std::vector<std::string> warnings;  // a failed field read, flashed twice
  bool repeat = false;                // its serial number passed before
  std::map<std::string, std::string> fields;  // identity fields read before the update
};

struct StationCounters {
  int passed = 0;
  int failed = 0;  // kUnplugged counts here
  int cancelled = 0;
  int running = 0;
  double units_per_hour = 0;  // passed units per hour since the station began
};

}  // namespace pellar
