#pragma once

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pellar::testing {

// The objects of a JSON Lines file (a record, a trace), one per line.
inline std::vector<nlohmann::json> ReadJsonLines(const std::string& path) {
  std::vector<nlohmann::json> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

}  // namespace pellar::testing
