#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "sim/link_factory.h"

namespace pellar {

inline constexpr int kWindowExitOk = 0;
inline constexpr int kWindowExitUsage = 2;

// Parses the window's options (--simulate, --trace, --encoding, as the command line's) and makes
// the link on the window's clock. Null when the program must end before any window shows:
// *status is then 0 after --help or --version, or 2 after a bad option, file or encoding, whose
// message went to `err`.
std::unique_ptr<Link> MakeWindowLink(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err, int* status);

}  // namespace pellar
