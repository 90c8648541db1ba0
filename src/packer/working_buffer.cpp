#include "packer/working_buffer.h"

#include <cstdlib>
#include <sys/mman.h>

namespace pellar {
namespace {
constexpr std::size_t kHugePage = std::size_t{2} * 1024 * 1024;
}

WorkingBuffer::WorkingBuffer(std::size_t size)
    : data_(static_cast<std::uint8_t*>(
          std::aligned_alloc(kHugePage, (size + kHugePage - 1) / kHugePage * kHugePage))),
      size_(size) {
  // Only advice: where the system has no huge pages, ordinary ones serve.
  if (data_ != nullptr) ::madvise(data_, size_, MADV_HUGEPAGE);
}

WorkingBuffer::~WorkingBuffer() { std::free(data_); }

}  // namespace pellar
