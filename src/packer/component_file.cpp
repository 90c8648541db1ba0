#include "packer/component_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellar {
namespace {

// An open component file, closed on every way out.
class ReadOnlyFile {
 public:
  // Only a regular file is opened, and without blocking: a pipe would hold the open for good.
  explicit ReadOnlyFile(const std::string& path) : descriptor_(OpenRegular(path)) {}
  ~ReadOnlyFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // The size of a regular file; pipes, devices and folders have none worth packing.
  std::optional<std::uint64_t> Size() const {
    struct stat status {};
    if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode))
      return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
  }

  // Reads until `size` bytes are in or the file ends early; returns the count read, or -1.
  std::int64_t ReadFully(std::uint8_t* into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
      ssize_t got = ::read(descriptor_, into + done, size - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return -1;
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
  }

 private:
  static int OpenRegular(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  }

  int descriptor_;
};

}  // namespace

std::optional<std::uint64_t> ComponentFileSize(const std::string& path) {
  return ReadOnlyFile(path).Size();
}

std::int32_t ReadComponentFile(std::span<std::uint8_t> buffer, std::int32_t offset,
                               const std::string& path) {
  if (offset < 0 || static_cast<std::size_t>(offset) > buffer.size()) return kComponentTooLarge;
  ReadOnlyFile file(path);
  std::optional<std::uint64_t> size = file.Size();
  if (!size) return kComponentUnreadable;
  // The size may have grown since the packing measured it; never read past the buffer.
  if (*size > buffer.size() - static_cast<std::size_t>(offset)) return kComponentTooLarge;
  std::int64_t read = file.ReadFully(buffer.data() + offset, static_cast<std::size_t>(*size));
  if (read != static_cast<std::int64_t>(*size)) return kComponentUnreadable;
  return static_cast<std::int32_t>(*size);
}

}  // namespace pellar
