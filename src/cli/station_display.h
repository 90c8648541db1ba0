#pragma once

#include <iosfwd>
#include <mutex>

#include "station/station.h"

namespace pellar::cli {

// The station on the command line. On a terminal: one live line per slot (port, device, file, bar,
// bytes, rate, time left, result) and a summary line, redrawn in place. Elsewhere (a log, a pipe):
// one plain line per event.
class StationDisplay final : public StationObserver {
 public:
  StationDisplay(std::ostream& err, bool terminal);
  void OnEvent(const StationEvent& event) override;
  // Redraws the live lines (on a terminal only).
  void Draw(const Station& station);
  // Leaves the live lines where they are, for what is printed after them.
  void Finish(const Station& station);

 private:
  std::ostream& err_;
  bool terminal_;
  int drawn_lines_ = 0;
  std::mutex mutex_;
};

// One slot's live line, without the terminal's control codes.
std::string SlotLine(const UnitSnapshot& unit);
// "passed 3, failed 1, cancelled 0, running 2, 41.2 units/h".
std::string SummaryLine(const StationCounters& counters);

}  // namespace pellar::cli
