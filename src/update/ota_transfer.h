#pragma once

#include <cstdint>
#include <string>

#include "device/device_context.h"
#include "device/hid_api.h"
#include "update/transfer_watcher.h"

namespace pellar {

inline constexpr const char* kStartTimeout =
    "the host read data timeout, please ensure the devices is online ...";
inline constexpr const char* kStartFailed = "send the cmd of start update failed!";
inline constexpr const char* kFileTypeFailed = "send the filetype to devices failed!";
inline constexpr const char* kPackFailed = "send ota pack failed!";
inline constexpr const char* kStatusFailed = "get the ota status failed!";

// The pacing of each data packet: a wait before it, and one between its write and its read.
inline constexpr int kPacketPauseMs = 30;
inline constexpr int kPacketReadPauseMs = 5;

// What a caller may learn of a transfer beyond its result.
struct OtaTransferReport {
  // A request to close ended the data before all of it was sent. The status step still ran, so
  // the result may be 0, yet the file is not on the device whole.
  bool cut_short = false;
};

// Sends one file held in memory to an open device under `device_file_name` (its bytes in the wire
// encoding, at most 1010 of them): start, file type, data packets, status, each step sent up to
// seven times until the device echoes the command with status 0. Shows its own failure message,
// resets the progress to 0 and returns -1 on failure; returns 0 when every step was accepted.
// The device stays open either way.
int OtaTransfer(DeviceContext& context, DeviceHandle device, const std::uint8_t* data,
                std::int32_t size, const std::string& device_file_name,
                OtaTransferReport* report = nullptr, TransferWatcher* watcher = nullptr);

}  // namespace pellar
