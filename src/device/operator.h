#pragma once

#include <string>

namespace pellar {

// How core operations reach the person at the controls. The window shows message boxes, a progress
// bar and a status line; the command line prints; tests record. Texts are UTF-8.
class Operator {
 public:
  virtual ~Operator() = default;
  // A modal message with a single OK button; returns when it has been acknowledged.
  virtual void ShowMessage(const std::string& text) = 0;
  // The progress bar's position; the bar's range is 0 to 100, a larger value shows a full bar.
  virtual void SetProgress(int position) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // Lets the window breathe: takes and handles at most one pending event. True when a request to
  // close was taken, which a running transfer must stop at.
  virtual bool Breathe() = 0;
  // Whether a request to stop (a close, Ctrl+C, the station's Stop) has been made, without taking
  // any event. A run asks it where no data packet is near: during a long pause, before a next file.
  virtual bool StopRequested() const { return false; }
};

}  // namespace pellar
