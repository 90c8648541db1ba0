#pragma once

#include <optional>
#include <string>

#include "option_model.h"

namespace pellar::docs {

// The options of one of our programs, read from the definitions the program itself parses with;
// nullopt for a name that is not one of ours.
std::optional<DocumentedProgram> ProgramNamed(const std::string& name);

}  // namespace pellar::docs
