#pragma once

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/hid_api.h"

namespace pellar {

// The trace of every HID call and every wait, one JSON object per line, flushed as it goes, with
// "t" in milliseconds since the trace began on the clock in use. It is how an engineer sees what
// went over the wire and when.
class Trace {
 public:
  // Writes to a file; null with *error set when the file cannot be created.
  static std::unique_ptr<Trace> ToFile(const std::string& path, const Clock& clock, std::string* error);
  // Keeps the entries in memory, for tests.
  static std::unique_ptr<Trace> InMemory(const Clock& clock);
  ~Trace();

  // Milliseconds since the trace began.
  double Elapsed() const;
  // Writes the line: "t" (the time the call began), then "device" when the calling thread works
  // for one device (DeviceScope), then the given fields. Safe from several threads.
  void Record(double at, nlohmann::ordered_json fields);
  // The lines written to memory; read it once the threads that trace are done.
  const std::vector<nlohmann::ordered_json>& entries() const { return entries_; }

  // While one lives, the calling thread's calls and waits are traced with "device": the HID path
  // of the unit it works for. Init, exit and enumeration lines are the library's, not a unit's.
  class DeviceScope {
   public:
    explicit DeviceScope(std::string path);
    ~DeviceScope();
    DeviceScope(const DeviceScope&) = delete;
    DeviceScope& operator=(const DeviceScope&) = delete;

   private:
    std::string previous_;
  };
  static const std::string& CurrentDevice();

  // Hex of the bytes up to the last non-zero one.
  static std::string Hex(const std::uint8_t* bytes, std::size_t count);

 private:
  Trace(const Clock& clock, std::FILE* file, std::string path);
  void WriteLine(const nlohmann::ordered_json& line);  // under the lock
  const Clock& clock_;
  double start_ms_;
  std::FILE* file_;
  std::string path_;
  bool write_failed_ = false;  // warned once; the operation's outcome is not the trace's to change
  std::mutex mutex_;
  std::vector<nlohmann::ordered_json> entries_;
};

// The seam and the clock, each recording into a trace before passing the call on.
std::unique_ptr<HidApi> MakeTracingHid(HidApi& inner, Trace& trace);
std::unique_ptr<Clock> MakeTracingClock(Clock& inner, Trace& trace);

}  // namespace pellar
