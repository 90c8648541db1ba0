#include "unit_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "update/amount_text.h"

namespace pellar {

std::string StateCaption(UnitState state) {
  std::string caption = UnitStateName(state);
  for (char& c : caption) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return caption;
}

std::string DeviceLine(const UnitSnapshot& unit) {
  std::string name = unit.product.empty() ? unit.manufacturer : unit.product;
  return name.empty() ? unit.path : name + " \u00b7 " + unit.path;
}

std::string FileLine(const UnitSnapshot& unit) {
  if (unit.file_number == 0) return {};
  return unit.file + " (" + std::to_string(unit.file_number) + " of " +
         std::to_string(unit.file_count) + ")";
}

int UnitPercent(const UnitSnapshot& unit) {
  if (unit.unit_size <= 0) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(unit.unit_sent * 100 / unit.unit_size, 0, 100));
}

std::string FiguresLine(const UnitSnapshot& unit) {
  std::string line = FormatBytes(static_cast<double>(unit.unit_sent)) + " of " +
                     FormatBytes(static_cast<double>(unit.unit_size));
  if (unit.state != UnitState::kRunning) return line;
  line += " \u00b7 " + FormatBytes(unit.rate) + "/s \u00b7 ";
  line += unit.seconds_left >= 0 ? FormatDuration(unit.seconds_left) + " left" : "-:-- left";
  return line;
}

std::string ProblemsText(const UnitSnapshot& unit) {
  std::string text;
  auto add = [&text](const std::string& line) { text += (text.empty() ? "" : "\n") + line; };
  if (UnitEnded(unit.state))
    for (const std::string& message : unit.messages) add(message);
  if (unit.repeat) add("flashed twice: this serial number passed before");
  for (const std::string& warning : unit.warnings) add(warning);
  return text;
}

std::string CountersLine(const StationCounters& counters) {
  char text[160];
  std::snprintf(text, sizeof text,
                "Passed %d \u00b7 Failed %d \u00b7 Cancelled %d \u00b7 Running %d \u00b7 %.1f units/h",
                counters.passed, counters.failed, counters.cancelled, counters.running,
                counters.units_per_hour);
  return text;
}

std::string ListSummary(const LoadedUpdate& update) {
  const std::size_t count = update.files.size();
  return std::to_string(count) + (count == 1 ? " file, " : " files, ") +
         FormatBytes(static_cast<double>(update.TotalBytes()));
}

std::string ListDetails(const LoadedUpdate& update) {
  std::string text;
  for (const LoadedFile& file : update.files) {
    if (!text.empty()) text += '\n';
    text += file.entry.filename + "  " + std::to_string(file.bytes.size()) + " bytes  SHA-256 " +
            file.sha256;
  }
  return text;
}

std::string PairText(DevicePair pair) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", pair.vendor_id, pair.product_id);
  return text;
}

std::string DayRecordName(int year, int month, int day) {
  char text[40];
  std::snprintf(text, sizeof text, "station-%04d-%02d-%02d.jsonl", year, month, day);
  return text;
}

}  // namespace pellar
