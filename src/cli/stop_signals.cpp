#include "cli/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace pellar::cli {
namespace {

// The first stop signal's number; 0 until one arrives. A later one does not replace it.
volatile std::sig_atomic_t stop_signal = 0;

void OnStopSignal(int number) {
  if (stop_signal == 0) stop_signal = number;
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // Restarted calls: the waits and reads of a transfer go on and meet the flag at their next check.
  action.sa_flags = SA_RESTART;
  for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
}

bool StopSignalled() { return stop_signal != 0; }

int StopSignalExitStatus() { return 128 + (stop_signal != 0 ? stop_signal : SIGINT); }

}  // namespace pellar::cli
