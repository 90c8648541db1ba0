#pragma once

#include <iosfwd>

#include "device/operator.h"

namespace pellar::cli {

// The operator on a terminal: messages go to stderr, Ctrl+C is the request to close.
class TerminalOperator : public Operator {
 public:
  explicit TerminalOperator(std::ostream& err);
  void ShowMessage(const std::string& text) override;
  void SetProgress(int position) override;
  void SetStatus(const std::string& text) override;
  bool Breathe() override;
  bool StopRequested() const override;

  // Makes Ctrl+C a close request instead of ending the process.
  static void CatchInterrupt();
  static bool InterruptRequested();

 protected:
  std::ostream& err_;
};

}  // namespace pellar::cli
