#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace pellar::testing {

// A named pipe that tells whether anyone opened it for reading. While it lives, a writer keeps
// trying to open it without blocking, which succeeds only while a reader has it open; that open
// also releases a reader stuck in open(), so a faulty reader fails the test instead of hanging it.
class FifoWatch {
 public:
  explicit FifoWatch(std::string path);
  ~FifoWatch();
  FifoWatch(const FifoWatch&) = delete;
  FifoWatch& operator=(const FifoWatch&) = delete;

  const std::string& path() const { return path_; }
  bool OpenedForReading() const { return opened_for_reading_; }

 private:
  std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> opened_for_reading_{false};
  std::thread writer_;
};

}  // namespace pellar::testing
