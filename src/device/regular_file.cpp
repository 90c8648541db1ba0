#include "device/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace pellar {
namespace {

FileRead Failed(FileReadStatus status, int error = 0) { return FileRead{status, {}, error}; }

}  // namespace

FileRead ReadRegularFile(const std::string& path, std::size_t limit) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Failed(FileReadStatus::kMissing, errno);
  if (!S_ISREG(info.st_mode)) return Failed(FileReadStatus::kNotRegular);
  if (static_cast<std::uint64_t>(info.st_size) > limit) return Failed(FileReadStatus::kTooLarge);
  // Non-blocking, in case the path was swapped for a pipe since the look; checked again below.
  int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return Failed(FileReadStatus::kMissing, errno);
  FileRead result{FileReadStatus::kRead, {}, 0};
  if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    result = Failed(FileReadStatus::kNotRegular);
  } else {
    // One byte more than the limit tells a file that grew past it from one that just fills it.
    const std::size_t most = limit + 1;
    result.bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t done = 0;
    while (true) {
      if (done == result.bytes.size()) {
        if (done == most) break;
        result.bytes.resize(std::min(most, 2 * done));
      }
      ssize_t got = ::read(descriptor, result.bytes.data() + done, result.bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        result = Failed(FileReadStatus::kReadFailed, errno);
        break;
      }
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
    }
    if (result.ok() && done > limit) result = Failed(FileReadStatus::kTooLarge);
    if (result.ok()) {
      result.bytes.resize(done);
    }
  }
  ::close(descriptor);
  return result;
}

std::string FileReadProblem(const FileRead& read, std::size_t limit) {
  switch (read.status) {
    case FileReadStatus::kRead: return "";
    case FileReadStatus::kMissing:
    case FileReadStatus::kReadFailed:
      return std::string("cannot be read: ") + std::strerror(read.error);
    case FileReadStatus::kNotRegular: return "is not a regular file";
    case FileReadStatus::kTooLarge: return "is larger than " + std::to_string(limit) + " bytes";
  }
  return "cannot be read";
}

}  // namespace pellar
