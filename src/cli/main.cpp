#include "cli/cli_app.h"

int main(int argc, char** argv) { return pellar::cli::RunCli(argc, argv); }
