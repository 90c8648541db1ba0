#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

#include "cli/cli_app.h"
#include "cli/text_table.h"
#include "device/device_table.h"

namespace pellar::cli {
namespace {

std::vector<std::string> Cells(const DeviceRow& row) {
  return {row.manufacturer, row.device_name, row.product_id, row.vendor_id};
}

void PrintJson(const DeviceTable& table, std::ostream& out) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const DeviceRow& row : table) {
    nlohmann::ordered_json object;
    std::vector<std::string> cells = Cells(row);
    for (std::size_t column = 0; column < cells.size(); ++column)
      object[kDeviceColumnTitles[column]] = cells[column];
    rows.push_back(std::move(object));
  }
  // Invalid UTF-8 from a device string must not stop the listing.
  out << rows.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void PrintText(const DeviceTable& table, std::ostream& out) {
  std::vector<std::vector<std::string>> lines;
  lines.emplace_back(std::begin(kDeviceColumnTitles), std::end(kDeviceColumnTitles));
  for (const DeviceRow& row : table) lines.push_back(Cells(row));
  PrintAligned(lines, out);
}

}  // namespace

void AddListCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* list = app.add_subcommand("list", "List the attached HID devices as the window does");
  auto as_json = std::make_shared<bool>(false);
  list->add_flag("--json", *as_json, "Print a JSON array instead of a table");
  commands.Add(list, [as_json](CliEnvironment& environment) {
    DeviceTable table = ScanDevices(environment.link.hid());
    if (*as_json) {
      PrintJson(table, environment.out);
    } else {
      PrintText(table, environment.out);
    }
    return kExitOk;
  });
}

}  // namespace pellar::cli
