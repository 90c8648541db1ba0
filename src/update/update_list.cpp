#include "update/update_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "device/regular_file.h"
#include "update/private_profile.h"

namespace pellar {

std::string UpdateEntry::DisplayName() const {
  std::size_t slash = filename.rfind('/');
  return slash == std::string::npos ? filename : filename.substr(slash + 1);
}

const PrivateProfile& UpdateListFile::Current() {
  struct stat info {};
  std::optional<Identity> now;
  if (::stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    now = Identity{info.st_dev, info.st_ino, static_cast<long long>(info.st_size),
                   static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
  if (!now) {
    identity_.reset();
    profile_ = PrivateProfile();
  } else if (now != identity_) {
    profile_ = PrivateProfile::Load(path_);
    identity_ = now;
  }
  return profile_;
}

int UpdateListFile::FileCount() { return Current().Int("Update_Info", "file_num", 0); }

UpdateEntry UpdateListFile::Entry(long long index) { return ReadUpdateEntry(Current(), index); }

std::string UpdateListProblem(const std::string& list_path) {
  FileRead read = ReadRegularFile(list_path, kTextFileLimit);
  if (read.ok()) return "";
  return "the update list \"" + list_path + "\" " + FileReadProblem(read, kTextFileLimit);
}

int ReadFileCount(const std::string& list_path) {
  return PrivateProfile::Load(list_path).Int("Update_Info", "file_num", 0);
}

UpdateEntry ReadUpdateEntry(const std::string& list_path, long long index) {
  // Read afresh for every entry, as the platform's profile functions do.
  return ReadUpdateEntry(PrivateProfile::Load(list_path), index);
}

UpdateEntry ReadUpdateEntry(const PrivateProfile& list, long long index) {
  std::string section = "file" + std::to_string(index);
  return UpdateEntry{index, list.String(section, "filename"), list.String(section, "DevicefilePath")};
}

long long LastEntrySection(const PrivateProfile& list) {
  long long last = 0;
  for (const std::string& name : list.SectionNames()) {
    // Only names that "file%d" can produce: no sign, no leading zero, not too long to count.
    if (name.size() < 5 || name.size() > 14 || name[4] == '0') continue;
    std::string prefix = name.substr(0, 4);
    for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (prefix != "file") continue;
    std::string digits = name.substr(4);
    if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
    last = std::max(last, std::stoll(digits));
  }
  return last;
}

std::string ExecutableDirectory() {
  std::string path(4096, '\0');
  ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) return "./";
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

std::vector<std::string> HostPathCandidates(const std::string& filename,
                                            const std::string& executable_dir,
                                            const std::string& list_path, const TextCodec& codec) {
  // Separators are turned before encoding: in a double-byte encoding a backslash byte can be the
  // second half of a character.
  std::string separated = filename;
  std::replace(separated.begin(), separated.end(), '\\', '/');
  std::optional<std::string> encoded = codec.Encode(separated);
  if (!encoded) return {};
  std::string list_dir = list_path.substr(0, list_path.rfind('/') + 1);
  std::vector<std::string> candidates{executable_dir + *encoded};
  if (list_dir != executable_dir) candidates.push_back(list_dir + *encoded);
  return candidates;
}

std::optional<std::string> EncodeDeviceName(const std::string& device_path, const TextCodec& codec,
                                            const char** problem) {
  std::optional<std::string> encoded = codec.Encode(device_path);
  if (!encoded) {
    *problem = kDeviceNameNotEncodable;
    return std::nullopt;
  }
  if (encoded->size() > kMaxDeviceNameBytes) {
    *problem = kDeviceNameTooLong;
    return std::nullopt;
  }
  return encoded;
}

}  // namespace pellar
