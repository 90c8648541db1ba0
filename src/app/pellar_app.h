#pragma once

namespace pellar {
class Link;
}

// The application: parses the options, sets up the toolkit and runs the main window modally; the
// program ends when that run ends, however it ends.
class CPellarApp {
 public:
  // The process's exit status: 2 when the options or the simulated-device file are unusable.
  int Run(int argc, char** argv);

 private:
  // Always false: nothing follows the main window's run.
  bool InitInstance(pellar::Link& link);
};
