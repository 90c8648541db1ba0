#include "window_options.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "window_option_definitions.h"
#include "window_clock.h"

namespace pellar {

std::unique_ptr<Link> MakeWindowLink(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err, int* status) {
  CLI::App app;
  LinkOptions options;
  DefineWindowOptions(app, options);

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
