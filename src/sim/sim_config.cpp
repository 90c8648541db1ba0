#include "sim/sim_config.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

#include "device/regular_file.h"

namespace pellar {
namespace {

using nlohmann::json;

struct ConfigError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A number given as an integer or as a "0x" string.
std::uint64_t ReadNumber(const json& value, const std::string& where, std::uint64_t limit) {
  std::uint64_t number = 0;
  if (value.is_number_unsigned()) {
    number = value.get<std::uint64_t>();
  } else if (value.is_string()) {
    const std::string text = value.get<std::string>();
    std::size_t used = 0;
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    try {
      number = std::stoull(hex ? text.substr(2) : text, &used, hex ? 16 : 10);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == 0 || used != text.size() - (hex ? 2 : 0))
      throw ConfigError(where + ": bad number \"" + text + "\"");
  } else {
    throw ConfigError(where + ": bad number " + value.dump());
  }
  if (number > limit) throw ConfigError(where + ": number " + std::to_string(number) + " too large");
  return number;
}

std::string ReadText(const json& value, const std::string& where) {
  if (!value.is_string()) throw ConfigError(where + ": expected a text");
  return value.get<std::string>();
}

SimAnswer ReadAnswer(const json& value, const std::string& where) {
  static const std::map<std::string, SimAnswer> kinds = {
      {"refuse", SimAnswer::kRefuse}, {"silent", SimAnswer::kSilent}, {"echo", SimAnswer::kEcho},
      {"reply", SimAnswer::kReply},   {"fail", SimAnswer::kFail},     {"unplug", SimAnswer::kUnplug}};
  std::string name = ReadText(value, where);
  auto found = kinds.find(name);
  if (found == kinds.end()) throw ConfigError(where + ": unknown answer kind \"" + name + "\"");
  return found->second;
}

SimRule ReadRule(const json& object, const std::string& where) {
  if (!object.is_object()) throw ConfigError(where + ": expected an object");
  if (!object.contains("command")) throw ConfigError(where + ": no \"command\"");
  if (!object.contains("answer")) throw ConfigError(where + ": no \"answer\"");
  SimRule rule;
  rule.command = static_cast<std::uint16_t>(ReadNumber(object["command"], where + ".command", 0xFFFF));
  rule.answer = ReadAnswer(object["answer"], where + ".answer");
  if (object.contains("status"))
    rule.status = static_cast<std::uint32_t>(ReadNumber(object["status"], where + ".status", 0xFFFFFFFF));
  if (object.contains("echo"))
    rule.echo = static_cast<std::uint16_t>(ReadNumber(object["echo"], where + ".echo", 0xFFFF));
  if (object.contains("length"))
    rule.length = static_cast<std::uint16_t>(ReadNumber(object["length"], where + ".length", 0xFFFF));
  if (object.contains("payload")) rule.payload = ReadText(object["payload"], where + ".payload");
  if (object.contains("after"))
    rule.after = static_cast<int>(ReadNumber(object["after"], where + ".after", 1'000'000'000));
  if (object.contains("count"))
    rule.count = static_cast<int>(ReadNumber(object["count"], where + ".count", 1'000'000'000));
  if (rule.answer == SimAnswer::kEcho && !rule.echo)
    throw ConfigError(where + ": an \"echo\" answer needs \"echo\"");
  return rule;
}

SimDeviceConfig ReadDevice(const json& object, const std::string& where, std::size_t index) {
  if (!object.is_object()) throw ConfigError(where + ": expected an object");
  SimDeviceConfig device;
  device.path = "sim:" + std::to_string(index);
  if (object.contains("manufacturer")) device.manufacturer = ReadText(object["manufacturer"], where + ".manufacturer");
  if (object.contains("product")) device.product = ReadText(object["product"], where + ".product");
  if (object.contains("path")) device.path = ReadText(object["path"], where + ".path");
  device.port = object.contains("port") ? ReadText(object["port"], where + ".port") : device.path;
  constexpr std::uint64_t kDayMs = 86'400'000;
  if (object.contains("arrive"))
    device.arrive_ms = static_cast<double>(ReadNumber(object["arrive"], where + ".arrive", kDayMs));
  if (object.contains("depart"))
    device.depart_ms = static_cast<double>(ReadNumber(object["depart"], where + ".depart", kDayMs));
  if (object.contains("access")) {
    if (!object["access"].is_boolean()) throw ConfigError(where + ".access: expected true or false");
    device.may_open = object["access"].get<bool>();
  }
  if (object.contains("vid"))
    device.vendor_id = static_cast<std::uint16_t>(ReadNumber(object["vid"], where + ".vid", 0xFFFF));
  if (object.contains("pid"))
    device.product_id = static_cast<std::uint16_t>(ReadNumber(object["pid"], where + ".pid", 0xFFFF));
  if (object.contains("fields")) {
    const json& fields = object["fields"];
    if (!fields.is_object()) throw ConfigError(where + ".fields: expected an object");
    for (const auto& [name, value] : fields.items()) {
      std::string field_where = where + ".fields.";
      field_where += name;
      device.fields[name] = ReadText(value, field_where);
    }
  }
  if (object.contains("rules")) {
    const json& rules = object["rules"];
    if (!rules.is_array()) throw ConfigError(where + ".rules: expected an array");
    for (std::size_t i = 0; i < rules.size(); ++i)
      device.rules.push_back(ReadRule(rules[i], where + ".rules[" + std::to_string(i) + "]"));
  }
  return device;
}

}  // namespace

std::optional<SimConfig> ParseSimConfig(const std::string& json_text, std::string* error) {
  try {
    json document = json::parse(json_text);
    if (!document.is_object() || !document.contains("devices") || !document["devices"].is_array())
      throw ConfigError("expected an object with a \"devices\" array");
    SimConfig config;
    const json& devices = document["devices"];
    for (std::size_t i = 0; i < devices.size(); ++i)
      config.devices.push_back(ReadDevice(devices[i], "devices[" + std::to_string(i) + "]", i));
    return config;
  } catch (const json::exception& problem) {
    // Not only syntax: a number out of range (1e400) or a bad escape is a bad file too.
    if (error != nullptr) *error = std::string("bad JSON: ") + problem.what();
  } catch (const ConfigError& problem) {
    if (error != nullptr) *error = problem.what();
  }
  return std::nullopt;
}

std::optional<SimConfig> LoadSimConfig(const std::string& path, std::string* error) {
  FileRead read = ReadRegularFile(path, kTextFileLimit);
  if (!read.ok()) {
    if (error != nullptr)
      *error = "simulated-device file \"" + path + "\": " + FileReadProblem(read, kTextFileLimit);
    return std::nullopt;
  }
  std::string problem;
  std::optional<SimConfig> config = ParseSimConfig(read.bytes, &problem);
  if (!config && error != nullptr) *error = "simulated-device file \"" + path + "\": " + problem;
  return config;
}

}  // namespace pellar
