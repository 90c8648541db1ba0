#include "cli/station_display.h"

#include <cstdio>
#include <ostream>

#include "cli/text_table.h"
#include "cli/update_progress.h"
#include "update/amount_text.h"

namespace pellar::cli {
namespace {

constexpr int kBarWidth = 20;

std::string Padded(const std::string& text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  return shown >= width ? text : text + std::string(width - shown, ' ');
}

std::string Bar(std::int64_t sent, std::int64_t size) {
  const int filled = size > 0 ? static_cast<int>(sent * kBarWidth / size) : 0;
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "]";
}

std::string Result(const UnitSnapshot& unit) {
  std::string result = UnitStateName(unit.state);
  if (!unit.messages.empty() && UnitEnded(unit.state)) result += ": " + unit.messages.front();
  if (unit.repeat) result += " (flashed twice)";
  return result;
}

const char* EventName(StationEvent::Kind kind) {
  switch (kind) {
    case StationEvent::Kind::kArrived: return "arrived";
    case StationEvent::Kind::kStarted: return "started";
    case StationEvent::Kind::kFileStarted: return "sending";
    case StationEvent::Kind::kPausing: return "pausing after";
    case StationEvent::Kind::kMessage: return "message:";
    case StationEvent::Kind::kWarning: return "warning:";
    case StationEvent::Kind::kEnded: return "ended:";
    case StationEvent::Kind::kLeft: return "unplugged";
  }
  return "";
}

}  // namespace

std::string SlotLine(const UnitSnapshot& unit) {
  std::string line = Padded(unit.port, 10) + " " + Padded(unit.product, 12) + " " +
                     Padded(unit.file, 14) + " " + Bar(unit.sent, unit.size) + " ";
  if (unit.state == UnitState::kRunning) {
    char figures[96];
    std::snprintf(figures, sizeof figures, "%s of %s  %s/s  %s left  ",
                  FormatBytes(static_cast<double>(unit.sent)).c_str(),
                  FormatBytes(static_cast<double>(unit.size)).c_str(), FormatBytes(unit.rate).c_str(),
                  unit.seconds_left >= 0 ? FormatDuration(unit.seconds_left).c_str() : "-:--");
    line += figures;
  }
  return line + Result(unit);
}

std::string SummaryLine(const StationCounters& counters) {
  char text[128];
  std::snprintf(text, sizeof text, "passed %d, failed %d, cancelled %d, running %d, %.1f units/h",
                counters.passed, counters.failed, counters.cancelled, counters.running,
                counters.units_per_hour);
  return text;
}

StationDisplay::StationDisplay(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

void StationDisplay::OnEvent(const StationEvent& event) {
  std::lock_guard lock(mutex_);
  if (terminal_) return;  // the live lines show it
  err_ << event.unit.port << ' ' << event.unit.path << ": " << EventName(event.kind);
  if (!event.text.empty()) err_ << ' ' << event.text;
  if (event.kind == StationEvent::Kind::kEnded && !event.unit.messages.empty())
    err_ << " (" << event.unit.messages.front() << ')';
  err_ << '\n' << std::flush;
}

void StationDisplay::Draw(const Station& station) {
  if (!terminal_) return;
  std::lock_guard lock(mutex_);
  std::vector<UnitSnapshot> units = station.Snapshot();
  std::string frame;
  // Back up over the last drawing, then overwrite it line by line, clearing what is left over.
  if (drawn_lines_ > 0) frame += "\x1b[" + std::to_string(drawn_lines_) + "F";
  for (const UnitSnapshot& unit : units) frame += SlotLine(unit) + "\x1b[K\n";
  frame += SummaryLine(station.Counters()) + "\x1b[K\n\x1b[J";
  err_ << frame << std::flush;
  drawn_lines_ = static_cast<int>(units.size()) + 1;
}

void StationDisplay::Finish(const Station& station) {
  if (terminal_) {
    Draw(station);
    return;
  }
  std::lock_guard lock(mutex_);
  err_ << SummaryLine(station.Counters()) << '\n' << std::flush;
}

}  // namespace pellar::cli
