#include "cli/terminal_operator.h"

#include <csignal>
#include <ostream>

namespace pellar::cli {
namespace {

volatile std::sig_atomic_t interrupt_requested = 0;

void OnInterrupt(int) { interrupt_requested = 1; }

}  // namespace

TerminalOperator::TerminalOperator(std::ostream& err) : err_(err) {}

void TerminalOperator::ShowMessage(const std::string& text) { err_ << text << '\n' << std::flush; }
void TerminalOperator::SetProgress(int) {}
void TerminalOperator::SetStatus(const std::string& text) {
  if (!text.empty()) err_ << text << '\n' << std::flush;
}
bool TerminalOperator::Breathe() { return InterruptRequested(); }
bool TerminalOperator::StopRequested() const { return InterruptRequested(); }

void TerminalOperator::CatchInterrupt() { std::signal(SIGINT, OnInterrupt); }
bool TerminalOperator::InterruptRequested() { return interrupt_requested != 0; }

}  // namespace pellar::cli
