#pragma once

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
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
  // Writes the line: "t" (the time the call began), then the given fields.
  void Record(double at, nlohmann::ordered_json fields);
  const std::vector<nlohmann::ordered_json>& entries() const { return entries_; }

  // Hex of the bytes up to the last non-zero one.
  static std::string Hex(const std::uint8_t* bytes, std::size_t count);

 private:
  Trace(const Clock& clock, std::FILE* file);
  const Clock& clock_;
  double start_ms_;
  std::FILE* file_;
  std::vector<nlohmann::ordered_json> entries_;
};

// The seam and the clock, each recording into a trace before passing the call on.
std::unique_ptr<HidApi> MakeTracingHid(HidApi& inner, Trace& trace);
std::unique_ptr<Clock> MakeTracingClock(Clock& inner, Trace& trace);

}  // namespace pellar
