#pragma once

#include <string>

namespace pellar {

// The record of a station started without --record: a file of the day, such as
// "station-2026-12-11.jsonl", in the user's data folder ($XDG_DATA_HOME/pellar, by default
// ~/.local/share/pellar), which is made when missing. Empty, with *error, when it cannot be made.
std::string DefaultRecordPath(std::string* error);

}  // namespace pellar
