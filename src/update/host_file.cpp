#include "update/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "update/update_list.h"

namespace pellar {
namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~FileDescriptor() {
    if (descriptor_ >= 0) close(descriptor_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

bool ReadWhole(int descriptor, std::uint8_t* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = read(descriptor, buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // an error, or the file shrank under us
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

const char* HostFileMessage(HostFileStatus status) {
  switch (status) {
    case HostFileStatus::kLoaded: return "";
    case HostFileStatus::kOpenFailed: return kOpenFileFailed;
    case HostFileStatus::kTooLarge: return kFileTooLarge;
  }
  return kOpenFileFailed;
}

HostFile LoadHostFile(const std::vector<std::string>& candidates, std::uint8_t* buffer,
                      std::size_t capacity) {
  for (const std::string& path : candidates) {
    struct stat info {};
    // Only a regular file is opened: a pipe would block the open for good, a device would never
    // end. A directory (an empty "filename" names the executable's own) is no file either.
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    // A probe only needs to know the file could be read; a plan of many thousand entries makes it.
    if (buffer == nullptr) {
      if (access(path.c_str(), R_OK) != 0) continue;
      HostFile found{HostFileStatus::kLoaded, path, static_cast<std::int64_t>(info.st_size)};
      if (static_cast<std::uint64_t>(found.size) > capacity) found.status = HostFileStatus::kTooLarge;
      return found;
    }
    // Non-blocking in case the path turned into a pipe since the look; fstat tells.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    HostFile found{HostFileStatus::kLoaded, path, static_cast<std::int64_t>(info.st_size)};
    if (static_cast<std::uint64_t>(found.size) > capacity) {
      found.status = HostFileStatus::kTooLarge;
    } else if (buffer != nullptr &&
               !ReadWhole(file.get(), buffer, static_cast<std::size_t>(found.size))) {
      found.status = HostFileStatus::kOpenFailed;
    }
    return found;
  }
  return HostFile{};
}

}  // namespace pellar
