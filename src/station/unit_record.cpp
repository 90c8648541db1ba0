#include "station/unit_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>

namespace pellar {

static nlohmann::ordered_json RecordedFileJson(const RecordedFile& file) {
  return {{"filename", file.filename}, {"device_name", file.device_name}, {"size", file.size},
          {"sha256", file.sha256},     {"result", file.result}};
}

nlohmann::ordered_json UnitRecord::ToJson() const {
  char vid[8], pid[8];
  std::snprintf(vid, sizeof vid, "0x%04x", vendor_id);
  std::snprintf(pid, sizeof pid, "0x%04x", product_id);
  nlohmann::ordered_json read = nlohmann::ordered_json::object();
  for (const auto& [name, value] : fields) read[name] = value;
  for (const std::string& name : unread_fields) read[name] = nullptr;
  nlohmann::ordered_json sent = nlohmann::ordered_json::array();
  for (const RecordedFile& file : files) sent.push_back(RecordedFileJson(file));
  nlohmann::ordered_json line = {{"path", path}, {"port", port}, {"vid", vid}, {"pid", pid},
                                 {"manufacturer", manufacturer}, {"product", product},
                                 {"fields", read}, {"list", list}, {"files", sent},
                                 {"started", IsoTimeUtc(started_ms)}, {"ended", IsoTimeUtc(ended_ms)},
                                 {"result", result}, {"message", messages}};
  if (repeat) line["repeat"] = true;
  return line;
}

std::string IsoTimeUtc(double epoch_ms) {
  const auto whole = static_cast<long long>(epoch_ms);
  const std::time_t seconds = static_cast<std::time_t>(whole / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03lldZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, whole % 1000);
  return text;
}

double WallClockMs() {
  using namespace std::chrono;
  return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

RecordFile::~RecordFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

bool RecordFile::Open(const std::string& path, std::string* error) {
  path_ = path;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    *error = "the record file \"" + path + "\" is not a regular file";
    return false;
  }
  descriptor_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor_ < 0) {
    *error = "the record file \"" + path + "\" cannot be written: " + std::strerror(errno);
    return false;
  }
  std::ifstream earlier(path);
  for (std::string line; std::getline(earlier, line);) NotePassed(line);
  return true;
}

void RecordFile::NotePassed(const std::string& line) {
  nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  if (!object.is_object() || object.value("result", "") != "passed") return;
  auto fields = object.find("fields");
  if (fields == object.end() || !fields->is_object()) return;
  auto serial = fields->find("SN");
  if (serial != fields->end() && serial->is_string()) passed_serials_.insert(serial->get<std::string>());
}

bool RecordFile::Append(const UnitRecord& record) {
  const std::string line =
      record.ToJson().dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  std::lock_guard lock(mutex_);
  if (record.result == "passed" && record.fields.contains("SN"))
    passed_serials_.insert(record.fields.at("SN"));
  std::size_t done = 0;
  while (done < line.size()) {
    ssize_t written = ::write(descriptor_, line.data() + done, line.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return ::fsync(descriptor_) == 0;
}

bool RecordFile::PassedBefore(const std::string& serial) const {
  std::lock_guard lock(mutex_);
  return passed_serials_.contains(serial);
}

}  // namespace pellar
