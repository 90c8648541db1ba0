#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

#include "cli/cli_app.h"
#include "cli/text_table.h"
#include "device/device_table.h"

namespace pellar::cli {
namespace {

// What --long adds to each row: where the device is and whether this user may open it.
constexpr const char* kLongTitles[] = {"Path", "Port", "Access"};

const char* AccessName(DeviceAccess access) {
  switch (access) {
    case DeviceAccess::kAllowed: return "yes";
    case DeviceAccess::kDenied: return "no";
    case DeviceAccess::kUnknown: return "unknown";
  }
  return "unknown";
}

std::vector<std::string> Cells(const DeviceRow& row, DeviceSystem* system) {
  std::vector<std::string> cells{row.manufacturer, row.device_name, row.product_id, row.vendor_id};
  if (system != nullptr) {
    cells.push_back(row.path);
    cells.push_back(system->PortOf(row.path));
    cells.push_back(AccessName(system->AccessOf(row.path)));
  }
  return cells;
}

std::vector<std::string> Titles(bool long_form) {
  std::vector<std::string> titles(std::begin(kDeviceColumnTitles), std::end(kDeviceColumnTitles));
  if (long_form) titles.insert(titles.end(), std::begin(kLongTitles), std::end(kLongTitles));
  return titles;
}

void PrintJson(const DeviceTable& table, DeviceSystem* system, std::ostream& out) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  const std::vector<std::string> titles = Titles(system != nullptr);
  for (const DeviceRow& row : table) {
    nlohmann::ordered_json object;
    std::vector<std::string> cells = Cells(row, system);
    for (std::size_t column = 0; column < cells.size(); ++column) object[titles[column]] = cells[column];
    rows.push_back(std::move(object));
  }
  // Invalid UTF-8 from a device string must not stop the listing.
  out << rows.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void PrintText(const DeviceTable& table, DeviceSystem* system, std::ostream& out) {
  std::vector<std::vector<std::string>> lines{Titles(system != nullptr)};
  for (const DeviceRow& row : table) lines.push_back(Cells(row, system));
  PrintAligned(lines, out);
}

}  // namespace

void AddListCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* list = app.add_subcommand("list", "List the attached HID devices as the window does");
  auto as_json = std::make_shared<bool>(false);
  auto long_form = std::make_shared<bool>(false);
  list->add_flag("--json", *as_json, "Print a JSON array instead of a table");
  list->add_flag("--long", *long_form,
                 "Also print each row's HID path, USB port and whether this user may open it");
  commands.Add(list, [as_json, long_form](CliEnvironment& environment) {
    DeviceTable table = ScanDevices(environment.link.hid());
    DeviceSystem* system = *long_form ? &environment.link.system() : nullptr;
    if (*as_json) {
      PrintJson(table, system, environment.out);
    } else {
      PrintText(table, system, environment.out);
    }
    return kExitOk;
  });
}

}  // namespace pellar::cli
