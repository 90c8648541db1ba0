#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pellar::cli {

// Columns a terminal takes to show a UTF-8 text (East Asian wide characters take two).
std::size_t DisplayWidth(const std::string& utf8);

// Prints rows of cells as columns separated by two blanks, each padded to its widest cell.
void PrintAligned(const std::vector<std::vector<std::string>>& rows, std::ostream& out);

}  // namespace pellar::cli
