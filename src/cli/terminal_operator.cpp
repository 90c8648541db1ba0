#include "cli/terminal_operator.h"

#include <ostream>

#include "cli/stop_signals.h"

namespace pellar::cli {

TerminalOperator::TerminalOperator(std::ostream& err) : err_(err) {}

void TerminalOperator::ShowMessage(const std::string& text) { err_ << text << '\n' << std::flush; }
void TerminalOperator::SetProgress(int) {}
void TerminalOperator::SetStatus(const std::string& text) {
  if (!text.empty()) err_ << text << '\n' << std::flush;
}
bool TerminalOperator::Breathe() { return StopSignalled(); }
bool TerminalOperator::StopRequested() const { return StopSignalled(); }

}  // namespace pellar::cli
