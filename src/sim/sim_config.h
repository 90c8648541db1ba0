#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pellar {

// What a rule makes the simulated device do with a request that it changes.
enum class SimAnswer {
  kRefuse,  // answer with the echo and the rule's status
  kSilent,  // send no answer: the read times out
  kEcho,    // answer with status 0 but echo another command
  kReply,   // answer as the rule's optional fields say (status, echo, length, payload)
  kFail,    // the read returns -1
  kUnplug,  // the read returns -1 and the device is gone from then on
};

// Applies to requests carrying `command`: lets the first `after` pass untouched, then changes the
// next `count` of them (all later ones when there is no count).
struct SimRule {
  std::uint16_t command = 0;
  SimAnswer answer = SimAnswer::kRefuse;
  std::uint32_t status = 0;
  std::optional<std::uint16_t> echo;
  std::optional<std::uint16_t> length;   // the answer's stated length
  std::optional<std::string> payload;    // the answer's payload bytes
  int after = 0;
  std::optional<int> count;
};

struct SimDeviceConfig {
  std::string manufacturer;
  std::string product;
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::string path;  // "sim:N" (N from 0, in file order) unless given
  std::string port;  // the USB port it sits in; its path unless given
  // Attached from `arrive_ms` until `depart_ms` on the clock, counted from the simulation's start:
  // how a file scripts devices that are plugged in and unplugged while a program runs.
  double arrive_ms = 0;
  std::optional<double> depart_ms;
  bool may_open = true;  // "access": false stands for a node this user may not open
  // Identity fields by name: SN, PID, VID, Manufacture, BCD, CMEI, Model, AppKey, Version.
  std::map<std::string, std::string> fields;
  std::vector<SimRule> rules;
};

struct SimConfig {
  std::vector<SimDeviceConfig> devices;
  // Whether the devices keep every call, request and received byte for a test to look at. A
  // program's run keeps only what it works with: a long station run would hold every report.
  bool keep_history = true;
};

// Nullopt, with *error naming the problem, for text that is not a valid simulated-device file.
std::optional<SimConfig> ParseSimConfig(const std::string& json_text, std::string* error);
// The same for a file; the error names the file.
std::optional<SimConfig> LoadSimConfig(const std::string& path, std::string* error);

}  // namespace pellar
