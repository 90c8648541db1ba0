#include "cli/update_progress.h"

#include <cstdio>
#include <ostream>

#include "update/amount_text.h"

namespace pellar::cli {
namespace {

constexpr int kBarWidth = 24;
// A terminal redraw costs a write; a few a second are enough for the eye.
constexpr double kRedrawEveryMs = 100;

int Percent(std::int64_t sent, std::int64_t size) {
  return size <= 0 ? 100 : static_cast<int>(sent * 100 / size);
}

}  // namespace

UpdateProgress::UpdateProgress(std::ostream& err, bool terminal, const Clock& clock)
    : TerminalOperator(err), terminal_(terminal), clock_(clock) {}

void UpdateProgress::ShowMessage(const std::string& text) {
  EndLine();
  TerminalOperator::ShowMessage(text);
}

// The bar follows the bytes the device accepted, which say more than the position does.
void UpdateProgress::SetProgress(int) {}

void UpdateProgress::SetStatus(const std::string& text) {
  // On a terminal the bar line names the file; a status of its own would only repeat it.
  if (terminal_ && text.rfind("update ", 0) == 0 && text != "update finish!") return;
  EndLine();
  TerminalOperator::SetStatus(text);
}

void UpdateProgress::FileStarted(const std::string& display_name, std::int64_t size) {
  in_file_ = true;
  name_ = display_name;
  size_ = size;
  sent_ = 0;
  reported_tenths_ = 0;
  started_ms_ = clock_.NowMs();
  if (terminal_) DrawBar();
}

void UpdateProgress::DataAccepted(std::int64_t sent, std::int64_t size) {
  sent_ = sent;
  size_ = size;
  if (terminal_) {
    if (clock_.NowMs() - drawn_ms_ >= kRedrawEveryMs || sent == size) DrawBar();
    return;
  }
  int tenths = size > 0 ? static_cast<int>(sent * 10 / size) : 10;
  if (tenths > reported_tenths_) {
    reported_tenths_ = tenths;
    err_ << name_ << ": " << Figures() << '\n' << std::flush;
  }
}

void UpdateProgress::FileEnded(bool accepted) {
  if (!in_file_) return;
  in_file_ = false;
  if (terminal_) {
    DrawBar();
    EndLine();
  }
  if (accepted && !terminal_) {
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f s", (clock_.NowMs() - started_ms_) / 1000);
    err_ << name_ << ": " << sent_ << " bytes sent in " << elapsed << '\n' << std::flush;
  }
}

void UpdateProgress::Pausing(int milliseconds) {
  EndLine();
  err_ << "waiting " << milliseconds / 1000.0 << " s for the device to take in " << name_ << " ...\n"
       << std::flush;
}

std::string UpdateProgress::Figures() const {
  double seconds = (clock_.NowMs() - started_ms_) / 1000;
  double rate = seconds > 0 ? static_cast<double>(sent_) / seconds : 0;
  std::string left = rate > 0 ? FormatDuration(static_cast<double>(size_ - sent_) / rate) + " left" : "-:-- left";
  if (!in_file_) left = "in " + FormatDuration(seconds);
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%", Percent(sent_, size_));
  return std::string(percent) + "  " + FormatBytes(static_cast<double>(sent_)) + " of " +
         FormatBytes(static_cast<double>(size_)) + "  " + FormatBytes(rate) + "/s  " + left;
}

void UpdateProgress::DrawBar() {
  int filled = Percent(sent_, size_) * kBarWidth / 100;
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "]";
  // Back to the line's start, draw, and clear what a longer earlier draw left behind.
  err_ << '\r' << bar << ' ' << name_ << "  " << Figures() << "\x1b[K" << std::flush;
  line_open_ = true;
  drawn_ms_ = clock_.NowMs();
}

void UpdateProgress::EndLine() {
  if (!line_open_) return;
  err_ << '\n' << std::flush;
  line_open_ = false;
}

}  // namespace pellar::cli
