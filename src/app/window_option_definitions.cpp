#include "window_option_definitions.h"

#include <CLI/CLI.hpp>

namespace pellar {

void DefineWindowOptions(CLI::App& app, LinkOptions& options) {
  app.name("pellar");
  app.description("Pellar Update Tools: firmware update of HID devices");
  AddLinkOptions(app, options);
}

}  // namespace pellar
