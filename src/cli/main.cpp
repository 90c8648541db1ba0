#include <clocale>
#include <exception>
#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  // The locale's character set is the default encoding of text on the wire.
  std::setlocale(LC_CTYPE, "");
  // The core reports by return values; should anything still throw, say so instead of aborting.
  try {
    return pellar::cli::RunCli(argc, argv);
  } catch (const std::exception& problem) {
    std::cerr << "pellar-cli: " << problem.what() << '\n';
  }
  return pellar::cli::kExitFailed;
}
