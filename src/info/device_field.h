#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "device/command_codes.h"

namespace pellar {

// A read of one field: the command, the button that starts it, the edit that shows the device's
// text, and the message when no text comes back.
struct FieldRead {
  std::uint16_t command;
  int button_id;
  const char* caption;
  int edit_id;
  const char* failure_message;
};

// A write of one field: the command, the button, the edit whose text is sent, and its messages.
// The last two refuse a text before anything is sent: the request holds at most 1010 bytes, and a
// character the wire encoding lacks would otherwise reach the device as a substitute.
struct FieldWrite {
  std::uint16_t command;
  int button_id;
  const char* caption;
  int edit_id;
  const char* empty_message;
  const char* success_message;
  const char* failure_message;
  const char* too_long_message;
  const char* unencodable_message;
};

// One identity field of the device (or its version, which is read only). The texts are the
// window's own, odd spellings included.
struct DeviceField {
  const char* name;      // as the device calls it
  const char* cli_name;  // as `pellar-cli read|write` takes it
  FieldRead read;
  std::optional<FieldWrite> write;
};

inline constexpr std::array<DeviceField, 9> kDeviceFields{{
    {"SN", "sn",
     {CMD_READ_SN, 1054, "读SN", 1053, "读SN失败!"},
     FieldWrite{CMD_WRITE_SN, 1012, "写SN", 1011, "SN不可以为空", "写入SN成功!", "写入SN失败!",
                "SN不可以超过1010字节", "SN含有无法编码的字符"}},
    {"PID", "pid",
     {CMD_READ_PID, 1056, "读PID", 1055, "读PID失败!"},
     FieldWrite{CMD_WRITE_PID, 1014, "写PID", 1013, "PID不可以为空", "写入PID成功!", "写入PID失败!",
                "PID不可以超过1010字节", "PID含有无法编码的字符"}},
    {"VID", "vid",
     {CMD_READ_VID, 1058, "读VID", 1057, "读VID失败!"},
     FieldWrite{CMD_WRITE_VID, 1016, "写VID", 1015, "VID不可以为空", "写入VID成功!", "写入VID失败!",
                "VID不可以超过1010字节", "VID含有无法编码的字符"}},
    {"Manufacture", "manufacture",
     {CMD_READ_MANUFACTURE, 1060, "读Manufature", 1059, "读Manufacture失败!"},
     FieldWrite{CMD_WRITE_MANUFACTURE, 1007, "写Manufature", 1037, "Manufacture不可以为空",
                "写入Manufacture成功!", "写入Manufacture失败!", "Manufacture不可以超过1010字节",
                "Manufacture含有无法编码的字符"}},
    {"BCD", "bcd",
     {CMD_READ_BCD, 1062, "读BCD", 1061, "读BCD失败!"},
     FieldWrite{CMD_WRITE_BCD, 1039, "写BCD", 1038, "BCD不可以为空", "写入BCD成功!", "写入BCD失败!",
                "BCD不可以超过1010字节", "BCD含有无法编码的字符"}},
    {"CMEI", "cmei",
     {CMD_READ_CMEI, 1066, "读CMEI", 1065, "读CMEI失败!"},
     FieldWrite{CMD_WRITE_CMEI, 1052, "写CMEI", 1051, "CMEI不可以为空", "写入CMEI成功!",
                "写入CMEI失败!", "CMEI不可以超过1010字节", "CMEI含有无法编码的字符"}},
    {"Model", "model",
     {CMD_READ_MODEL, 1064, "读Model", 1063, "读Mode失败!"},
     FieldWrite{CMD_WRITE_MODEL, 1050, "写Model", 1049, "Model不可以为空", "写入Model成功!",
                "写入Model失败!", "Model不可以超过1010字节", "Model含有无法编码的字符"}},
    {"AppKey", "appkey",
     {CMD_READ_APPKEY, 1086, "读AppKey", 1085, "读版AppKey失败!"},
     FieldWrite{CMD_WRITE_APPKEY, 1088, "写AppKey", 1087, "AppKey不可以为空", "写入AppKey成功!",
                "写入AppKey失败!", "AppKey不可以超过1010字节", "AppKey含有无法编码的字符"}},
    {"Version", "version",
     {CMD_READ_VERSION, 1075, "读版本号", 1074, "读版本号失败!"},
     std::nullopt},
}};

// The field of this command-line name, or null.
const DeviceField* FindDeviceField(std::string_view cli_name);

}  // namespace pellar
