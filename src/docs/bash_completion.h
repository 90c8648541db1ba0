#pragma once

#include <string>

#include "option_model.h"

namespace pellar::docs {

// A bash completion script for `program`: its commands, each command's options and the common
// ones, the values an option checks against (field names), file names where a file is expected,
// hidraw nodes for a HID path. It needs bash-completion's _init_completion.
std::string BashCompletion(const DocumentedProgram& program);

}  // namespace pellar::docs
