#include "cli/update_record.h"

#include <filesystem>

#include "station/single_record.h"
#include "update/update_plan.h"

namespace pellar::cli {
namespace {

// The device that the choice opens: the one at --path, or the first listed with the pair (given,
// or of the single listed device), as opening by pair finds it.
void IdentifyDevice(CliEnvironment& environment, const DeviceChoiceOptions& choice, UnitRecord& record) {
  HidApi& hid = environment.link.hid();
  std::uint16_t vendor = 0, product = 0;
  if (choice.path.empty()) {
    DeviceRow row;
    if (!choice.pair.empty()) {
      const std::size_t colon = choice.pair.find(':');
      row.vendor_id = choice.pair.substr(0, colon);
      row.product_id = colon == std::string::npos ? "" : choice.pair.substr(colon + 1);
    } else {
      DeviceTable table = ScanDevices(hid);
      if (!table.empty()) row = table.front();
    }
    vendor = ParseDeviceId(row.vendor_id);
    product = ParseDeviceId(row.product_id);
  }
  HidDeviceInfo* devices = hid.Enumerate(vendor, product);
  for (HidDeviceInfo* entry = devices; entry != nullptr; entry = entry->next) {
    if (!choice.path.empty() && entry->path != choice.path) continue;
    record.path = entry->path;
    record.vendor_id = entry->vendor_id;
    record.product_id = entry->product_id;
    record.manufacturer = entry->manufacturer;
    record.product = entry->product;
    break;
  }
  hid.FreeEnumeration(devices);
  if (record.path.empty()) record.path = choice.path;
  record.port = record.path.empty() ? "" : environment.link.system().PortOf(record.path);
  if (record.port.empty()) record.port = record.path;
}

}  // namespace

void UpdateRecord::Begin(CliEnvironment& environment, const DeviceChoiceOptions& choice,
                         const std::string& list_path) {
  IdentifyDevice(environment, choice, record_);
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(list_path, error);
  record_.list = error ? list_path : absolute.lexically_normal().string();
  UpdatePlan plan = PlanUpdate(list_path, environment.link.codec(), ExecutableDirectory());
  record_.files = PlannedRecordFiles(plan);
  wall_offset_ms_ = WallClockMs() - environment.link.clock().NowMs();
  record_.started_ms = wall_offset_ms_ + environment.link.clock().NowMs();
}

bool UpdateRecord::End(UpdateOutcome outcome, const Clock& clock) {
  SetRecordOutcome(record_, outcome, false);
  record_.ended_ms = wall_offset_ms_ + clock.NowMs();
  return file_.Append(record_);
}

}  // namespace pellar::cli
