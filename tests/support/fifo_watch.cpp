#include "support/fifo_watch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace pellar::testing {

FifoWatch::FifoWatch(std::string path) : path_(std::move(path)) {
  if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + path_);
  writer_ = std::thread([this] {
    while (!stop_) {
      int descriptor = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (descriptor >= 0) {
        opened_for_reading_ = true;
        ::close(descriptor);  // the reader now sees the end of the file
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
}

FifoWatch::~FifoWatch() {
  stop_ = true;
  writer_.join();
}

}  // namespace pellar::testing
