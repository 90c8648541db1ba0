#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pellar {

// Gives the file at `path` exactly `bytes` as its content, or leaves it as it was. The bytes go to a
// temporary file beside it, which takes its place only once every byte is written and the file is
// closed without error; a full disk or a failing write can therefore never leave a truncated or
// emptied file behind. Only a regular file (or a path that names nothing yet) is replaced: a
// device, a pipe, a socket or a folder is refused untouched. An existing file keeps its
// permission bits; a symbolic link is written through, as opening the path would. False on any failure, with no temporary file left behind.
bool ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace pellar
