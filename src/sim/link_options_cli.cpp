#include "sim/link_options_cli.h"

#include <CLI/CLI.hpp>

namespace pellar {

void AddLinkOptions(CLI::App& app, LinkOptions& options) {
  app.set_version_flag("--version", kPellarVersion);
  app.add_option("--simulate", options.simulate_file,
                 "Work on the simulated devices described by this JSON file")
      ->type_name("FILE");
  app.add_option("--trace", options.trace_file,
                 "Write every HID call and wait to this file, as JSON Lines")
      ->type_name("FILE");
  app.add_option("--encoding", options.encoding,
                 "Encoding of text on the wire (an iconv name such as GBK); default: the locale's")
      ->type_name("NAME");
}

}  // namespace pellar
