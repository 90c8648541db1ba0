#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "device/command_frame.h"
#include "device/text_codec.h"
#include "update/private_profile.h"

namespace pellar {

// One transfer buffer serves a whole run; no file larger than it is ever sent.
inline constexpr std::size_t kTransferBufferSize = 10485760;
// The device file name travels as the payload of one frame.
inline constexpr std::size_t kMaxDeviceNameBytes = kPayloadCapacity;
// After a file that PausesAfter, the device needs this long to unpack it.
inline constexpr int kLzmaPauseMs = 8000;

inline constexpr const char* kOpenFileFailed = "open the file failed!";
inline constexpr const char* kFileTooLarge = "the file is too large!";
inline constexpr const char* kDeviceNameTooLong = "the device file name is too long!";
inline constexpr const char* kDeviceNameNotEncodable = "the device file name cannot be encoded!";

// One entry of an update list: section "file<index>", its values as the list gives them.
struct UpdateEntry {
  long long index = 0;
  std::string filename;     // "filename": the host file, relative to the executable's directory
  std::string device_path;  // "DevicefilePath": the name the device stores the file under

  // The part of "filename" after its last "/" (backslashes do not split it).
  std::string DisplayName() const;
  // The device needs time to unpack such a file before it takes the next one; case matters.
  bool PausesAfter() const { return device_path.find(".lzma") != std::string::npos; }
};

// The update list as a run reads it, value by value: read afresh whenever the file has changed
// since the last value (another file, or the same one rewritten), parsed once while it has not.
// A list that is missing, no regular file or too large reads as an empty one.
class UpdateListFile {
 public:
  explicit UpdateListFile(std::string path) : path_(std::move(path)) {}
  // "file_num" of section "Update_Info"; 0 when the list, the section or the key is missing.
  int FileCount();
  // The entry's values; missing ones read as empty.
  UpdateEntry Entry(long long index);

 private:
  // What tells one content of the file from another without reading it.
  struct Identity {
    unsigned long long device = 0, inode = 0;
    long long size = -1, modified_ns = 0;
    bool operator==(const Identity&) const = default;
  };
  const PrivateProfile& Current();

  std::string path_;
  std::optional<Identity> identity_;  // of the content parsed into profile_; none when unread
  PrivateProfile profile_;
};

// Why the list cannot be read at all ("cannot be read: No such file or directory", "is not a
// regular file", ...), or empty when it can. A front that must not take a missing list for an
// update without files asks this before touching any device.
std::string UpdateListProblem(const std::string& list_path);

// "file_num" of section "Update_Info"; 0 when the list, the section or the key is missing.
int ReadFileCount(const std::string& list_path);
// The entry's values; missing ones read as empty.
UpdateEntry ReadUpdateEntry(const std::string& list_path, long long index);
UpdateEntry ReadUpdateEntry(const PrivateProfile& list, long long index);
// The highest entry number that has a section of its own; 0 when none has.
long long LastEntrySection(const PrivateProfile& list);

// The running executable's directory with its trailing "/".
std::string ExecutableDirectory();

// Where the host file of an entry is looked for, in order: beside the executable (the list's own
// rule), then relative to the list file's directory, since an installed program lives where no
// firmware is. Lists are written on Windows, so a backslash in "filename" separates directories.
// Empty when "filename" cannot be represented in the wire encoding: such a file cannot be opened.
std::vector<std::string> HostPathCandidates(const std::string& filename,
                                            const std::string& executable_dir,
                                            const std::string& list_path, const TextCodec& codec);

// The device file name's bytes in the wire encoding, or nullopt with *problem set to the message
// that refuses it (not encodable, or longer than a frame's payload).
std::optional<std::string> EncodeDeviceName(const std::string& device_path, const TextCodec& codec,
                                            const char** problem);

}  // namespace pellar
