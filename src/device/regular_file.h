#pragma once

#include <cstddef>
#include <string>

namespace pellar {

// Why a file's bytes could not be had.
enum class FileReadStatus {
  kRead,
  kMissing,     // it does not exist or cannot be reached (errno is in FileRead::error)
  kNotRegular,  // a folder, a pipe, a device or a socket: nothing a file format is read from
  kTooLarge,    // larger than the reader's format can hold
  kReadFailed,  // it opened but could not be read (errno is in FileRead::error)
};

struct FileRead {
  FileReadStatus status = FileReadStatus::kMissing;
  std::string bytes;
  int error = 0;
  bool ok() const { return status == FileReadStatus::kRead; }
};

// The whole content of a regular file (or of one a link leads to), at most `limit` bytes. A pipe or
// a device is refused before it is opened for reading, so no open or read can block on one, and
// never more than one byte past the limit is read, however large the file or however fast it grows.
FileRead ReadRegularFile(const std::string& path, std::size_t limit);

// The reason in words, for a message that names the file: "is not a regular file", say.
std::string FileReadProblem(const FileRead& read, std::size_t limit);

// Lists and device files are small texts; anything larger than this is not one.
inline constexpr std::size_t kTextFileLimit = std::size_t{16} * 1024 * 1024;

}  // namespace pellar
