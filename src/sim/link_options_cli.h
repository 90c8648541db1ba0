#pragma once

#include "sim/link_factory.h"

namespace CLI {
class App;
}

namespace pellar {

// The program's version, as both fronts print it.
inline constexpr const char* kPellarVersion = "1.0.0.1";

// --simulate, --trace and --encoding, the same on both fronts; filled in when `app` is parsed.
void AddLinkOptions(CLI::App& app, LinkOptions& options);

}  // namespace pellar
