#include "cli/device_choice.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <optional>
#include <sstream>

#include "device/device_system.h"

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

std::string PairText(const DeviceRow& row) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", ParseDeviceId(row.vendor_id), ParseDeviceId(row.product_id));
  return text;
}

// The listed device that the failed open was meant for: the one at `path`, or else the first of
// `pair` that this user may not open. Null when there is none.
std::optional<DeviceRow> DeniedRow(CliEnvironment& environment, const std::string& path,
                                   const DeviceRow& pair) {
  DeviceSystem& system = environment.link.system();
  for (const DeviceRow& row : ScanDevices(environment.link.hid())) {
    bool meant = path.empty() ? ParseDeviceId(row.vendor_id) == ParseDeviceId(pair.vendor_id) &&
                                    ParseDeviceId(row.product_id) == ParseDeviceId(pair.product_id)
                              : row.path == path;
    if (meant && system.AccessOf(row.path) == DeviceAccess::kDenied) return row;
  }
  return std::nullopt;
}

// After "HID open failed!": when the node's permissions kept this user out, says so and names the
// command that lets them in. Other failures stay as they were.
void ExplainDenied(CliEnvironment& environment, const std::string& path, const DeviceRow& pair) {
  // A path that this user may open was refused for another reason: no need to look further.
  if (!path.empty() && environment.link.system().AccessOf(path) != DeviceAccess::kDenied) return;
  std::optional<DeviceRow> denied = DeniedRow(environment, path, pair);
  if (!denied && path.empty()) return;
  std::string node = denied ? denied->path : path;
  std::string pair_text = denied ? PairText(*denied) : "VID:PID";
  environment.err << "pellar-cli: this user may not open " << node
                  << " (permission denied); to allow it, run as root: pellar-cli udev-rule " << pair_text
                  << " --install\n";
}

DeviceOpener WithAccessHint(CliEnvironment& environment, DeviceOpener open, std::string path, DeviceRow pair) {
  return [&environment, open = std::move(open), path = std::move(path), pair = std::move(pair)] {
    DeviceHandle device = open();
    if (device == nullptr) ExplainDenied(environment, path, pair);
    return device;
  };
}

}  // namespace

std::shared_ptr<DeviceChoiceOptions> AddDeviceChoiceOptions(CLI::App* command) {
  auto options = std::make_shared<DeviceChoiceOptions>();
  CLI::Option* pair = command->add_option(
      "--device", options->pair, "The device as VID:PID in hex; the first listed with that pair")
      ->type_name("VID:PID");
  // Bad text is bad usage, refused with the other parse errors before any device is looked for.
  pair->check([](const std::string& text) {
    DeviceRow row;
    return ParsePair(text, &row) ? std::string() : PairProblem(text);
  });
  CLI::Option* path = command->add_option(
      "--path", options->path, "Exactly the device at this HID path, e.g. /dev/hidraw3")
      ->type_name("HIDPATH");
  pair->excludes(path);
  return options;
}

DeviceOpener MakeDeviceOpener(CliEnvironment& environment, const DeviceChoiceOptions& options,
                              std::string* problem) {
  DeviceContext& context = environment.context;
  if (!options.path.empty()) {
    std::string path = options.path;
    return WithAccessHint(environment, [&context, path] { return OpenDevicePath(context, path); }, path, {});
  }
  DeviceRow row;
  if (!options.pair.empty()) {
    if (!ParsePair(options.pair, &row)) {
      *problem = PairProblem(options.pair);
      return nullptr;
    }
    return WithAccessHint(environment, OpenerForRow(context, row), "", row);
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
  return WithAccessHint(environment, OpenerForRow(context, table.front()), table.front().path, {});
}

}  // namespace pellar::cli
