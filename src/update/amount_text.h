#pragma once

#include <string>

namespace pellar {

// How every front writes sizes, rates and times left, so the terminal and the windows agree.
// "512 B", "1.5 KiB", "3.0 MiB".
std::string FormatBytes(double bytes);
// "0:07", "12:34", "1:02:03"; a negative time is "0:00".
std::string FormatDuration(double seconds);

}  // namespace pellar
