#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/device_pair.h"
#include "device/device_system.h"
#include "device/hid_api.h"
#include "device/text_codec.h"
#include "info/device_field.h"
#include "station/loaded_update.h"
#include "station/unit_state.h"

namespace pellar {

struct StationOptions {
  DevicePair match;
  std::vector<std::string> ports;  // only devices in these ports; empty: any port
  std::string record_path;         // one JSON line per unit; empty: no record
  std::vector<const DeviceField*> reads;  // read before the update, into the record
};

// What the station works on: shared by every unit, each safe to use from several threads.
struct StationParts {
  HidApi& hid;
  Clock& clock;
  DeviceSystem& system;
  const TextCodec& codec;
};

// News for a front that prints one line per event. Called from the engine's threads, one call at
// a time; it must not call back into the station.
struct StationEvent {
  enum class Kind { kArrived, kStarted, kFileStarted, kPausing, kMessage, kWarning, kEnded, kLeft };
  Kind kind;
  UnitSnapshot unit;  // the slot as it stands after the event
  std::string text;   // the message or warning; the file's name for kFileStarted
};
class StationObserver {
 public:
  virtual ~StationObserver() = default;
  virtual void OnEvent(const StationEvent& event) = 0;
};

// Flashes every matching device at once, each on its own thread and handle opened by path, each
// conversation exactly that of a single update. The HID library is set up once by Begin and shut
// down once by End; units never call init or exit. The first failure ends that unit only.
class Station {
 public:
  Station(const StationParts& parts, std::shared_ptr<const LoadedUpdate> update, StationOptions options,
          StationObserver* observer = nullptr);
  ~Station();  // End()
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Opens the record for appending (false with *error when it cannot be written) and sets the HID
  // library up. Nothing else works before it.
  bool Begin(std::string* error);
  // Looks at the attached devices now: a matching device in an allowed port gets a slot (idle),
  // a slot whose device left is removed once its unit is not running.
  void Rescan();
  // Flashes every idle slot now; the number of units started.
  int StartIdle();
  // Keeps looking for devices that come and go on a thread of its own (udev events, or the
  // simulated device's script) until End.
  void Watch();
  // While on, a device that arrives is flashed at once.
  void SetAutoStart(bool on);
  bool AutoStart() const;
  // Cuts every running unit short (they end as cancelled) and turns auto-start off.
  void Stop();
  // Blocks until no unit runs.
  void WaitUntilIdle();
  // The same for at most this long (real time); whether no unit runs.
  bool WaitUntilIdleFor(int timeout_ms);
  // Stops watching, waits for the units, shuts the HID library down. Safe to call twice.
  void End();

  std::vector<UnitSnapshot> Snapshot() const;  // slots in the order they appeared
  StationCounters Counters() const;
  const LoadedUpdate& update() const;
  const StationOptions& options() const;

 private:
  class Engine;
  std::unique_ptr<Engine> engine_;
};

}  // namespace pellar
