#include "window_options.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "window_clock.h"

namespace pellar {

std::unique_ptr<Link> MakeWindowLink(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err, int* status) {
  CLI::App app{"Pellar Update Tools: firmware update of HID devices", "pellar"};
  app.set_version_flag("--version", "1.0.0.1");
  LinkOptions options;
  app.add_option("--simulate", options.simulate_file,
                 "Work on the simulated devices described by this JSON file");
  app.add_option("--trace", options.trace_file,
                 "Write every HID call and wait to this file, as JSON Lines");
  app.add_option("--encoding", options.encoding,
                 "Encoding of text on the wire (an iconv name such as GBK); default: the locale's");

  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    *status = app.exit(error, out, err) == 0 ? kWindowExitOk : kWindowExitUsage;
    return nullptr;
  }

  std::string problem;
  std::unique_ptr<Link> link = MakeLink(options, std::make_unique<WindowClock>(), &problem);
  if (link == nullptr) {
    err << "pellar: " << problem << '\n';
    *status = kWindowExitUsage;
    return nullptr;
  }
  *status = kWindowExitOk;
  return link;
}

}  // namespace pellar
