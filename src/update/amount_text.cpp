#include "update/amount_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pellar {

std::string FormatBytes(double bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%.0f B", bytes);
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", bytes / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024 * 1024));
  }
  return text;
}

std::string FormatDuration(double seconds) {
  auto total = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
  }
  return text;
}

}  // namespace pellar
