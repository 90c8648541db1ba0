#include <clocale>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  // The locale's character set is the default encoding of text on the wire.
  std::setlocale(LC_CTYPE, "");
  return pellar::cli::RunCli(argc, argv);
}
