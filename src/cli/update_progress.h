#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "cli/terminal_operator.h"
#include "device/clock.h"
#include "update/transfer_watcher.h"

namespace pellar::cli {

// The update's operator on the command line. On a terminal each file gets one line that redraws
// itself: a bar, the display name, percent, bytes sent, rate and time left. Elsewhere (a log, a
// pipe) the same news comes as plain lines: the status, every tenth of the file, the end of it.
// Messages go to the same stream, on lines of their own; Ctrl+C is the request to close.
class UpdateProgress final : public TerminalOperator, public TransferWatcher {
 public:
  UpdateProgress(std::ostream& err, bool terminal, const Clock& clock);

  void ShowMessage(const std::string& text) override;
  void SetProgress(int position) override;
  void SetStatus(const std::string& text) override;

  void FileStarted(const std::string& display_name, std::int64_t size) override;
  void DataAccepted(std::int64_t sent, std::int64_t size) override;
  void FileEnded(bool accepted) override;
  void Pausing(int milliseconds) override;

 private:
  void DrawBar();
  void EndLine();
  std::string Figures() const;

  bool terminal_;
  const Clock& clock_;
  bool line_open_ = false;   // a bar is drawn without its line end
  bool in_file_ = false;
  std::string name_;
  std::int64_t size_ = 0;
  std::int64_t sent_ = 0;
  double started_ms_ = 0;
  double drawn_ms_ = 0;
  int reported_tenths_ = 0;
};

}  // namespace pellar::cli
