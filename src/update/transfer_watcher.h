#pragma once

#include <cstdint>
#include <string>

namespace pellar {

// Finer news of a running update than the operator's progress bar gives, for a display that shows
// bytes, rate and time left. Every call is optional to act on.
class TransferWatcher {
 public:
  virtual ~TransferWatcher() = default;
  // An entry's file has been read and its transfer is about to begin.
  virtual void FileStarted(const std::string& display_name, std::int64_t size) = 0;
  // The device accepted a data packet; `sent` bytes of `size` are now on the device.
  virtual void DataAccepted(std::int64_t sent, std::int64_t size) = 0;
  // The transfer of the file has ended, accepted or not.
  virtual void FileEnded(bool accepted) = 0;
  // The run waits this long for the device to take in the file just sent.
  virtual void Pausing(int milliseconds) { (void)milliseconds; }
};

}  // namespace pellar
