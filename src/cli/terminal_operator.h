#pragma once

#include <iosfwd>

#include "device/operator.h"

namespace pellar::cli {

// The operator on a terminal: messages go to stderr, a stop signal (Ctrl+C, SIGTERM, SIGHUP, once
// CatchStopSignals has run) is the request to close.
class TerminalOperator : public Operator {
 public:
  explicit TerminalOperator(std::ostream& err);
  void ShowMessage(const std::string& text) override;
  void SetProgress(int position) override;
  void SetStatus(const std::string& text) override;
  bool Breathe() override;
  bool StopRequested() const override;

 protected:
  std::ostream& err_;
};

}  // namespace pellar::cli
