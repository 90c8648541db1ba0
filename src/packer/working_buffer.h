#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pellar {

// The packing's one working buffer, released when it goes out of scope. Its bytes are not cleared.
// Huge pages are asked for: a file is read straight into the buffer, and faulting in 10 MiB page by
// page costs more than all the copying of it.
class WorkingBuffer {
 public:
  explicit WorkingBuffer(std::size_t size);
  ~WorkingBuffer();
  WorkingBuffer(const WorkingBuffer&) = delete;
  WorkingBuffer& operator=(const WorkingBuffer&) = delete;

  // Empty when the memory could not be obtained.
  std::span<std::uint8_t> bytes() const { return {data_, data_ == nullptr ? 0 : size_}; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace pellar
