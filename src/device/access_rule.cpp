#include "device/access_rule.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pellar {
namespace {

std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

std::string Reason(int error_number) { return std::strerror(error_number); }

bool WriteAll(int descriptor, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t wrote = write(descriptor, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

std::string AccessRulesFolder() {
  const char* folder = std::getenv("PELLAR_UDEV_RULES_DIR");
  return folder != nullptr && *folder != '\0' ? folder : kUdevRulesFolder;
}

bool IsGroupName(const std::string& name) {
  if (name.empty() || name.size() > 32 || name.front() == '-') return false;
  return std::ranges::all_of(name, [](unsigned char c) {
    return std::isalnum(c) != 0 || c == '_' || c == '-' || c == '.';
  });
}

std::string AccessRuleText(DevicePair pair, const std::string& group) {
  const std::string vendor = Hex4(pair.vendor_id);
  const std::string product = Hex4(pair.product_id);
  std::string who = group.empty() ? "the user at the seat" : "the members of group " + group;
  std::string grant = group.empty() ? "TAG+=\"uaccess\"" : "MODE=\"0660\", GROUP=\"" + group + "\"";
  return "# Written by pellar-cli udev-rule: read-write access for " + who + " to the HID device " +
         vendor + ":" + product + " (its hidraw nodes only).\n" +
         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" + vendor + "\", ATTRS{idProduct}==\"" + product +
         "\", " + grant + "\n";
}

std::string AccessRuleFileName(DevicePair pair) {
  return "70-pellar-" + Hex4(pair.vendor_id) + "-" + Hex4(pair.product_id) + ".rules";
}

bool InstallAccessRule(const std::string& folder, DevicePair pair, const std::string& text,
                       std::string* written_path, std::string* error) {
  *written_path = folder + "/" + AccessRuleFileName(pair);
  // udev reads only names ending in ".rules", so the half-written file is never taken for a rule.
  std::string temporary = *written_path + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  int descriptor = mkstemp(name.data());
  if (descriptor < 0) {
    *error = "cannot write " + *written_path + ": " + Reason(errno);
    return false;
  }
  bool written = fchmod(descriptor, 0644) == 0 && WriteAll(descriptor, text) && fsync(descriptor) == 0;
  int write_errno = errno;
  if (close(descriptor) != 0 && written) {
    written = false;
    write_errno = errno;
  }
  if (written && rename(name.data(), written_path->c_str()) == 0) return true;
  if (written) write_errno = errno;
  unlink(name.data());
  *error = "cannot write " + *written_path + ": " + Reason(write_errno);
  return false;
}

}  // namespace pellar
