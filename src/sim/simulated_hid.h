#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/command_frame.h"
#include "device/device_system.h"
#include "device/hid_api.h"
#include "sim/sim_config.h"

namespace pellar {

// A file as the simulated device put it together: the file-type name, then the data packets in
// order. Complete once the status request that follows was accepted.
struct ReceivedFile {
  std::string device_name;
  std::string data;  // empty when the device keeps no history
  std::int64_t size = 0;
  bool complete = false;
};

// One call that reached the simulated device, for tests that check pairing and order.
struct SimCall {
  std::string op;  // init, exit, enumerate, free_enumeration, open, open_path, close, nonblocking, write, read
  int device = -1;  // index in the configuration, -1 when none
  int result = 0;
};

// HID devices that live in memory. By default a device accepts every well-formed request: it
// echoes the command with status 0, answers a read with the field's text, stores a write, and
// reassembles the files sent to it. Rules change chosen requests (see SimRule). A read with no
// answer waiting takes its whole timeout on the clock. Devices come and go on the clock as their
// "arrive" and "depart" say. Every call is safe from several threads.
class SimulatedHid final : public HidApi, public DeviceSystem {
 public:
  SimulatedHid(SimConfig config, Clock& clock);
  ~SimulatedHid() override;

  int Init() override;
  int Exit() override;
  HidDeviceInfo* Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) override;
  void FreeEnumeration(HidDeviceInfo* devices) override;
  DeviceHandle Open(std::uint16_t vendor_id, std::uint16_t product_id) override;
  DeviceHandle OpenPath(const std::string& path) override;
  void Close(DeviceHandle device) override;
  int SetNonblocking(DeviceHandle device, int nonblock) override;
  int Write(DeviceHandle device, const std::uint8_t* data, std::size_t length) override;
  int ReadTimeout(DeviceHandle device, std::uint8_t* data, std::size_t length,
                  int milliseconds) override;

  std::string PortOf(const std::string& hid_path) override;
  DeviceAccess AccessOf(const std::string& hid_path) override;
  // Sleeps on the clock until the next arrival or departure, or the timeout.
  bool WaitForChange(int timeout_ms) override;

  // What the devices saw, by device index in the configuration. Read them once the threads that
  // use the devices are done.
  const std::vector<SimCall>& calls() const { return calls_; }
  std::vector<std::string> CallNames() const;
  const std::vector<CommandFrame>& Requests(int device) const;
  int MalformedRequests(int device) const;
  const std::vector<ReceivedFile>& ReceivedFiles(int device) const;
  std::optional<std::string> Field(int device, const std::string& name) const;
  bool Unplugged(int device) const;
  int OpenHandles() const;
  // Closes of handles that were not open: always a fault of the caller.
  int BadCloses() const { return bad_closes_; }

 private:
  struct Device;
  struct Pending;
  Device* DeviceOf(DeviceHandle handle);
  bool Attached(const Device& device) const;
  double Elapsed() const;
  DeviceHandle NewHandle(int device);
  void Record(const std::string& op, int device, int result);

  Clock& clock_;
  double start_ms_;
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<Device>> devices_;
  std::vector<std::unique_ptr<HidHandle>> handles_;
  std::vector<SimCall> calls_;
  bool keep_history_;
  int bad_closes_ = 0;
};

// Whether a request is well formed: length 1024, report id 1, magic, length at most 1010, a right
// checksum and zero fill after the payload. `problem` tells what is wrong.
bool CheckRequest(const std::uint8_t* data, std::size_t length, std::string* problem = nullptr);

}  // namespace pellar
