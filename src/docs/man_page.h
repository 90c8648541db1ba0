#pragma once

#include <string>

#include "option_model.h"

namespace pellar::docs {

// The manual page of `program`: `page_template` (roff) with @SYNOPSIS@, @OPTIONS@, @COMMANDS@ and
// @VERSION@ replaced by what the option definitions say. The rest of the page is written by hand.
std::string ManPage(const DocumentedProgram& program, const std::string& page_template,
                    const std::string& version);

// Text made safe for roff: backslashes, a leading dot or quote, and hyphens that are minus signs.
std::string RoffEscape(const std::string& text);

}  // namespace pellar::docs
