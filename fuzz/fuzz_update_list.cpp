// The update list as a run reads it: the count, each listed entry's values and the names derived
// from them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/text_codec.h"
#include "update/private_profile.h"
#include "update/update_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pellar;
  const PrivateProfile list =
      PrivateProfile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  const int count = list.Int("Update_Info", "file_num", 0);
  const long long last = LastEntrySection(list);
  // Entries past the last section all read alike; a few of them stand for the rest.
  const long long listed = std::min<long long>(count, std::min<long long>(last + 2, 256));
  static const TextCodec codec = TextCodec::Utf8();
  for (long long index = 1; index <= listed; ++index) {
    UpdateEntry entry = ReadUpdateEntry(list, index);
    (void)entry.DisplayName();
    (void)entry.PausesAfter();
    (void)HostPathCandidates(entry.filename, "/opt/pellar/", "/lists/list.txt", codec);
    const char* problem = nullptr;
    (void)EncodeDeviceName(entry.device_path, codec, &problem);
  }
  return 0;
}
