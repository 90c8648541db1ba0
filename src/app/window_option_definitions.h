#pragma once

#include "sim/link_options_cli.h"

namespace CLI {
class App;
}

namespace pellar {

// The window's command line, without Qt: the window parses with it, and its manual is written
// from it.
void DefineWindowOptions(CLI::App& app, LinkOptions& options);

}  // namespace pellar
