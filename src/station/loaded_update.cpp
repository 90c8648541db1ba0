#include "station/loaded_update.h"

#include <openssl/evp.h>

#include <filesystem>

#include "update/host_file.h"
#include "update/update_list.h"
#include "update/update_plan.h"

namespace pellar {
namespace {

std::optional<LoadedFile> LoadEntry(const PlannedEntry& planned, const TextCodec& codec,
                                    std::vector<std::string>* problems) {
  LoadedFile file;
  file.entry = planned.entry;
  file.host_path = planned.host_path;
  const char* name_problem = nullptr;
  std::optional<std::string> device_name = EncodeDeviceName(planned.entry.device_path, codec, &name_problem);
  file.device_name = device_name.value_or("");
  file.bytes.resize(static_cast<std::size_t>(planned.size));
  // Read once more whole: the file may have changed since it was measured.
  HostFile read = LoadHostFile({planned.host_path}, file.bytes.data(), file.bytes.size());
  if (read.status != HostFileStatus::kLoaded || read.size != planned.size) {
    problems->push_back("file" + std::to_string(planned.entry.index) + ": " + planned.host_path +
                        " changed or could not be read whole");
    return std::nullopt;
  }
  file.sha256 = Sha256Hex(file.bytes.data(), file.bytes.size());
  return file;
}

}  // namespace

std::int64_t LoadedUpdate::TotalBytes() const {
  std::int64_t total = 0;
  for (const LoadedFile& file : files) total += static_cast<std::int64_t>(file.bytes.size());
  return total;
}

std::optional<LoadedUpdate> LoadUpdate(const std::string& list_path, const TextCodec& codec,
                                       const std::string& executable_dir,
                                       std::vector<std::string>* problems) {
  // A list that is not there or not a file would read as an update without files; a station must
  // say so before it touches any device.
  if (std::string problem = UpdateListProblem(list_path); !problem.empty()) {
    problems->push_back(problem);
    return std::nullopt;
  }
  UpdatePlan plan = PlanUpdate(list_path, codec, executable_dir);
  if (!plan.WouldSucceed()) {
    for (const std::string& problem : plan.problems) problems->push_back(problem);
    for (const PlannedEntry& planned : plan.entries)
      for (const std::string& problem : planned.problems) problems->push_back(problem);
    return std::nullopt;
  }
  LoadedUpdate update;
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(list_path, error);
  update.list_path = error ? list_path : absolute.lexically_normal().string();
  for (const PlannedEntry& planned : plan.entries) {
    std::optional<LoadedFile> file = LoadEntry(planned, codec, problems);
    if (!file) return std::nullopt;
    update.files.push_back(std::move(*file));
  }
  return update;
}

std::string Sha256Hex(const std::uint8_t* bytes, std::size_t count) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(bytes, count, digest, &length, EVP_sha256(), nullptr);
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0x0F];
  }
  return hex;
}

}  // namespace pellar
