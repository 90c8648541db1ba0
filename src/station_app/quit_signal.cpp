#include "quit_signal.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace pellar {
namespace {

int signal_pipe[2] = {-1, -1};

// Only a write is safe in a signal handler; the window's thread reads it.
void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

}  // namespace

QuitSignal::QuitSignal(QObject* parent) : QObject(parent) {
  if (signal_pipe[0] < 0 && ::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (::read(signal_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit Received();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace pellar
