#pragma once

#include <functional>
#include <optional>
#include <string>

#include "station/station.h"
#include "station/unit_record.h"

namespace pellar {

// How a unit's thread tells its slot what happens. Called from that thread only.
class UnitReporter {
 public:
  virtual ~UnitReporter() = default;
  // Applies the change to the slot under the station's lock, then tells the observer the event.
  virtual void Change(const std::function<void(UnitSnapshot&)>& change,
                      std::optional<StationEvent::Kind> event = std::nullopt,
                      const std::string& text = {}) = 0;
  // Whether the unit is to stop: the station's Stop, or the end of the program.
  virtual bool Stopped() const = 0;
  // Whether the device left while the unit ran.
  virtual bool Departed() const = 0;
};

// The device a unit works on, as the scan found it.
struct UnitDevice {
  std::string path;
  std::string port;
  DevicePair pair;
  std::string manufacturer;
  std::string product;
};

// One unit, on the calling thread: reads the asked fields, runs the update over the station's
// loaded files on a handle opened by path, and returns its record (not yet written).
// `wall_offset_ms` turns the clock's time into wall time for the record.
UnitRecord RunUnit(const StationParts& parts, const LoadedUpdate& update,
                   const StationOptions& options, const RecordFile* record, const UnitDevice& device,
                   UnitReporter& reporter, double wall_offset_ms);

}  // namespace pellar
