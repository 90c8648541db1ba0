#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "station/loaded_update.h"
#include "station/station.h"

namespace pellar {

// What the station window writes on a tile and in its header, kept free of the toolkit.

// "IDLE", "RUNNING", "PASSED", "FAILED", "CANCELLED", "UNPLUGGED": read from across the room.
std::string StateCaption(UnitState state);
// "Demo Camera · sim:0".
std::string DeviceLine(const UnitSnapshot& unit);
// "app.bin (1 of 2)"; empty before the first file.
std::string FileLine(const UnitSnapshot& unit);
// 0..100 over every file of the unit.
int UnitPercent(const UnitSnapshot& unit);
// "20.0 KiB of 51.0 KiB · 28.6 KiB/s · 0:12 left" while running; the bytes alone otherwise.
std::string FiguresLine(const UnitSnapshot& unit);
// The failure messages and warnings, one a line: shown on the tile of an ended unit.
std::string ProblemsText(const UnitSnapshot& unit);
// "Passed 3 · Failed 1 · Cancelled 0 · Running 2 · 41.2 units/h".
std::string CountersLine(const StationCounters& counters);
// "2 files, 51.0 KiB".
std::string ListSummary(const LoadedUpdate& update);
// One line per file: "app.bin  40000 bytes  SHA-256 1f2e…".
std::string ListDetails(const LoadedUpdate& update);
// "1234:5678", lower-case hex.
std::string PairText(DevicePair pair);
// "station-2026-12-11.jsonl" for the given local date.
std::string DayRecordName(int year, int month, int day);

}  // namespace pellar
