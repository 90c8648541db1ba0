#include "update/update_plan.h"

#include <algorithm>

#include "update/host_file.h"
#include "update/ota_transfer.h"

namespace pellar {
namespace {

constexpr std::int64_t kPacketPacingMs = kPacketPauseMs + kPacketReadPauseMs;

PlannedEntry PlanEntry(const UpdateEntry& entry, const std::string& list_path,
                       const TextCodec& codec, const std::string& executable_dir) {
  PlannedEntry planned{entry, "", -1, 0, 0, {}};
  const std::string label = "file" + std::to_string(entry.index) + ": ";
  std::vector<std::string> candidates =
      HostPathCandidates(entry.filename, executable_dir, list_path, codec);
  HostFile file = LoadHostFile(candidates, nullptr, kTransferBufferSize);
  if (candidates.empty()) {
    planned.problems.push_back(label + kOpenFileFailed + " (\"" + entry.filename +
                               "\" cannot be written in the encoding " + codec.name() + ")");
  } else if (file.status == HostFileStatus::kOpenFailed) {
    std::string places = candidates.front();
    for (std::size_t i = 1; i < candidates.size(); ++i) places += " nor " + candidates[i];
    planned.problems.push_back(label + kOpenFileFailed + " (no readable file at " + places + ")");
  }
  planned.host_path = file.path.empty() && !candidates.empty() ? candidates.front() : file.path;
  if (!file.path.empty()) planned.size = file.size;
  if (file.status == HostFileStatus::kTooLarge)
    planned.problems.push_back(label + kFileTooLarge + " (" + std::to_string(file.size) +
                               " bytes, at most " + std::to_string(kTransferBufferSize) + ")");
  const char* name_problem = nullptr;
  if (!EncodeDeviceName(entry.device_path, codec, &name_problem))
    planned.problems.push_back(label + name_problem);
  if (planned.size >= 0) {
    constexpr auto capacity = static_cast<std::int64_t>(kPayloadCapacity);
    planned.packets = (planned.size + capacity - 1) / capacity;
    planned.pacing_ms = planned.packets * kPacketPacingMs + (entry.PausesAfter() ? kLzmaPauseMs : 0);
  }
  return planned;
}

}  // namespace

bool UpdatePlan::WouldSucceed() const {
  if (!problems.empty() || entries.empty()) return false;
  return std::all_of(entries.begin(), entries.end(),
                     [](const PlannedEntry& entry) { return entry.problems.empty(); });
}

std::int64_t UpdatePlan::TotalBytes() const {
  std::int64_t total = 0;
  for (const PlannedEntry& entry : entries) total += std::max<std::int64_t>(entry.size, 0);
  return total;
}

std::int64_t UpdatePlan::TotalPackets() const {
  std::int64_t total = 0;
  for (const PlannedEntry& entry : entries) total += entry.packets;
  return total;
}

std::int64_t UpdatePlan::TotalPacingMs() const {
  std::int64_t total = 0;
  for (const PlannedEntry& entry : entries) total += entry.pacing_ms;
  return total;
}

UpdatePlan PlanUpdate(const std::string& list_path, const TextCodec& codec,
                      const std::string& executable_dir) {
  UpdatePlan plan;
  if (list_path.empty()) {
    plan.problems.push_back("the file name is empty!");
    return plan;
  }
  PrivateProfile list = PrivateProfile::Load(list_path);
  plan.file_count = list.Int("Update_Info", "file_num", 0);
  if (plan.file_count <= 0) {
    plan.problems.push_back("the update list names no files (\"file_num\" in [Update_Info] is " +
                            std::to_string(plan.file_count) + " or missing, or the list cannot be read)");
    return plan;
  }
  // Entries past the last section all read as empty; one of them stands for the rest.
  const long long listed = std::min<long long>(plan.file_count, LastEntrySection(list) + 1);
  for (long long index = 1; index <= listed; ++index)
    plan.entries.push_back(PlanEntry(ReadUpdateEntry(list, index), list_path, codec, executable_dir));
  if (listed < plan.file_count)
    plan.problems.push_back("entries " + std::to_string(listed + 1) + " to " +
                            std::to_string(plan.file_count) + " have no section: no file to send");
  return plan;
}

}  // namespace pellar
