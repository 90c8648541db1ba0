#include "cli/device_choice.h"

#include <CLI/CLI.hpp>

#include <sstream>

namespace pellar::cli {
namespace {

// "1234:5678" (hex, an optional 0x on each) as a one-row table for the window's opening rule.
bool ParsePair(const std::string& text, DeviceRow* row) {
  std::size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  auto is_hex = [](const std::string& part) {
    std::string digits = part.rfind("0x", 0) == 0 || part.rfind("0X", 0) == 0 ? part.substr(2) : part;
    return !digits.empty() && digits.size() <= 4 &&
           digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
  };
  std::string vendor = text.substr(0, colon);
  std::string product = text.substr(colon + 1);
  if (!is_hex(vendor) || !is_hex(product)) return false;
  row->vendor_id = vendor;
  row->product_id = product;
  return true;
}

std::string PairProblem(const std::string& text) {
  return "--device takes VID:PID in hexadecimal, e.g. 1234:5678, not \"" + text + "\"";
}

DeviceOpener OpenerForRow(DeviceContext& context, const DeviceRow& row) {
  return [&context, row] {
    DeviceTable table{row};
    return OpenSelectedDevice(context, table, DeviceSelection{{0}, 0});
  };
}

}  // namespace

std::shared_ptr<DeviceChoiceOptions> AddDeviceChoiceOptions(CLI::App* command) {
  auto options = std::make_shared<DeviceChoiceOptions>();
  CLI::Option* pair = command->add_option(
      "--device", options->pair, "The device as VID:PID in hex; the first listed with that pair");
  // Bad text is bad usage, refused with the other parse errors before any device is looked for.
  pair->check([](const std::string& text) {
    DeviceRow row;
    return ParsePair(text, &row) ? std::string() : PairProblem(text);
  });
  CLI::Option* path = command->add_option(
      "--path", options->path, "Exactly the device at this HID path, e.g. /dev/hidraw3");
  pair->excludes(path);
  return options;
}

DeviceOpener MakeDeviceOpener(CliEnvironment& environment, const DeviceChoiceOptions& options,
                              std::string* problem) {
  DeviceContext& context = environment.context;
  if (!options.path.empty()) {
    std::string path = options.path;
    return [&context, path] { return OpenDevicePath(context, path); };
  }
  DeviceRow row;
  if (!options.pair.empty()) {
    if (!ParsePair(options.pair, &row)) {
      *problem = PairProblem(options.pair);
      return nullptr;
    }
    return OpenerForRow(context, row);
  }
  DeviceTable table = ScanDevices(environment.link.hid());
  if (table.empty()) {
    *problem = "no HID device found";
    return nullptr;
  }
  if (table.size() > 1) {
    std::ostringstream list;
    list << "several HID devices found; choose one with --device VID:PID or --path:";
    for (const DeviceRow& candidate : table)
      list << "\n  " << candidate.vendor_id << ':' << candidate.product_id << "  "
           << candidate.manufacturer << ' ' << candidate.device_name;
    *problem = list.str();
    return nullptr;
  }
  return OpenerForRow(context, table.front());
}

}  // namespace pellar::cli
