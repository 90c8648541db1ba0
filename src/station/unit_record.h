#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace pellar {

// What happened to one file of a unit's update.
inline constexpr const char* kFileSent = "sent";
inline constexpr const char* kFileFailed = "failed";
inline constexpr const char* kFileCutShort = "cut short";
inline constexpr const char* kFileNotSent = "not sent";

struct RecordedFile {
  std::string filename;     // as the list gives it
  std::string device_name;  // "DevicefilePath"
  std::int64_t size = 0;
  std::string sha256;
  std::string result = kFileNotSent;
};

// One unit's line in the record: where it was, what it is, what was sent and how it ended.
struct UnitRecord {
  std::string path;
  std::string port;
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::string manufacturer;
  std::string product;
  std::map<std::string, std::string> fields;  // read before the update; a failed read is null
  std::vector<std::string> unread_fields;
  std::string list;  // the update list's absolute path
  std::vector<RecordedFile> files;
  double started_ms = 0;  // wall time, milliseconds since the epoch
  double ended_ms = 0;
  std::string result;  // passed, failed, cancelled
  std::vector<std::string> messages;
  bool repeat = false;

  nlohmann::ordered_json ToJson() const;
};

// "2026-12-10T14:03:07.123Z".
std::string IsoTimeUtc(double epoch_ms);
// Wall time now, milliseconds since the epoch.
double WallClockMs();

// The record file: one JSON object a line, appended and flushed to the disk as each unit ends, so
// that what was recorded survives the machine stopping a moment later. Safe from several threads.
class RecordFile {
 public:
  ~RecordFile();
  // Opens for appending (creating it), and reads the serial numbers that passed before. False with
  // *error when it cannot be written: that must be known before the first unit, not after an hour.
  bool Open(const std::string& path, std::string* error);
  // Writes the line and syncs it; false when it could not be written whole.
  bool Append(const UnitRecord& record);
  // Whether this serial number passed in an earlier line (or earlier in this run).
  bool PassedBefore(const std::string& serial) const;
  const std::string& path() const { return path_; }

 private:
  void NotePassed(const std::string& line);
  std::string path_;
  int descriptor_ = -1;
  std::set<std::string> passed_serials_;
  mutable std::mutex mutex_;
};

}  // namespace pellar
