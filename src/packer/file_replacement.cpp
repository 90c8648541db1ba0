#include "packer/file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pellar {
namespace {

// The file that is really meant: the target of a symbolic link, however many links deep, whether
// or not it exists yet.
std::filesystem::path ResolveTarget(std::filesystem::path target) {
  for (int depth = 0; depth < 40; ++depth) {  // the system's own limit on a chain of links
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) break;
    std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// The bits a newly created file would get, or those of the file being replaced.
mode_t ModeFor(const std::filesystem::path& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode)) return status.st_mode & 07777;
  mode_t mask = ::umask(0);  // reading the mask means setting it; put it straight back
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int descriptor, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Only a regular file may be replaced: renaming over a device node, a pipe or a socket would put
// a file in its place and break whatever uses it.
bool MayReplace(const std::filesystem::path& target) {
  struct stat status {};
  if (::lstat(target.c_str(), &status) != 0) return errno == ENOENT;
  return S_ISREG(status.st_mode);
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::filesystem::path target = ResolveTarget(path);
  if (!MayReplace(target)) return false;
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (descriptor < 0) return false;
  bool written = ::fchmod(descriptor, ModeFor(target)) == 0 && WriteAll(descriptor, bytes);
  bool closed = ::close(descriptor) == 0;  // some file systems report a failed write only here
  if (written && closed && std::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace pellar
