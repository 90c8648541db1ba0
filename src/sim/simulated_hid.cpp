#include "sim/simulated_hid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "device/command_codes.h"

namespace pellar {

struct HidHandle {
  int device = -1;
  bool open = true;
  bool nonblocking = false;
};

struct SimulatedHid::Pending {
  enum class Kind { kAnswer, kFail, kUnplug } kind = Kind::kAnswer;
  CommandFrame answer;
};

struct SimulatedHid::Device {
  SimDeviceConfig config;
  std::map<std::string, std::string> fields;
  std::vector<int> rule_seen;  // requests with the rule's command seen so far, per rule
  std::optional<Pending> pending;
  std::vector<CommandFrame> requests;
  int malformed = 0;
  std::vector<ReceivedFile> files;
  bool receiving = false;
  std::uint32_t next_packet = 1;
  bool unplugged = false;
};

namespace {

// The identity field that a read code (or a write code, one more) names.
const char* FieldOfReadCode(std::uint16_t code) {
  switch (code) {
    case CMD_READ_VERSION: return "Version";
    case CMD_READ_MANUFACTURE: return "Manufacture";
    case CMD_READ_SN: return "SN";
    case CMD_READ_VID: return "VID";
    case CMD_READ_PID: return "PID";
    case CMD_READ_BCD: return "BCD";
    case CMD_READ_MODEL: return "Model";
    case CMD_READ_CMEI: return "CMEI";
    case CMD_READ_APPKEY: return "AppKey";
    default: return nullptr;
  }
}

bool IsFieldWrite(std::uint16_t code) {
  return (code & 1) != 0 && code != CMD_READ_VERSION && FieldOfReadCode(code - 1) != nullptr;
}

CommandFrame MakeAnswer(std::uint16_t command, std::uint32_t status, const std::string& payload,
                        std::uint16_t length) {
  std::size_t count = std::min(payload.size(), kPayloadCapacity);
  CommandFrame answer = BuildFrame(command, kFlagComplete, status,
                                   reinterpret_cast<const std::uint8_t*>(payload.data()), count);
  answer.bytes[6] = static_cast<std::uint8_t>(length);
  answer.bytes[7] = static_cast<std::uint8_t>(length >> 8);
  return answer;
}

}  // namespace

bool CheckRequest(const std::uint8_t* data, std::size_t length, std::string* problem) {
  auto fail = [problem](const char* what) {
    if (problem != nullptr) *problem = what;
    return false;
  };
  if (length != kFrameSize) return fail("not 1024 bytes");
  if (data[0] != 0x01) return fail("report id is not 1");
  if (data[1] != 0x5A || data[2] != 0x5A) return fail("bad magic");
  std::size_t payload_length = data[6] | data[7] << 8;
  if (payload_length > kPayloadCapacity) return fail("length over 1010");
  std::uint16_t expected = FrameChecksum(data, kChecksummedHeaderSize);
  expected = FrameChecksum(data + kHeaderSize, payload_length, expected);
  if ((data[12] | data[13] << 8) != expected) return fail("bad checksum");
  for (std::size_t i = kHeaderSize + payload_length; i < kFrameSize; ++i)
    if (data[i] != 0) return fail("no zero fill after the payload");
  return true;
}

SimulatedHid::SimulatedHid(SimConfig config, Clock& clock)
    : clock_(clock), start_ms_(clock.NowMs()), keep_history_(config.keep_history) {
  for (SimDeviceConfig& device_config : config.devices) {
    auto device = std::make_unique<Device>();
    device->fields = device_config.fields;
    device->rule_seen.assign(device_config.rules.size(), 0);
    device->config = std::move(device_config);
    devices_.push_back(std::move(device));
  }
}

SimulatedHid::~SimulatedHid() = default;

double SimulatedHid::Elapsed() const { return clock_.NowMs() - start_ms_; }

bool SimulatedHid::Attached(const Device& device) const {
  const double now = Elapsed();
  return !device.unplugged && now >= device.config.arrive_ms &&
         (!device.config.depart_ms || now < *device.config.depart_ms);
}

void SimulatedHid::Record(const std::string& op, int device, int result) {
  if (keep_history_) calls_.push_back({op, device, result});
}

int SimulatedHid::Init() {
  std::lock_guard lock(mutex_);
  Record("init", -1, 0);
  return 0;
}

int SimulatedHid::Exit() {
  std::lock_guard lock(mutex_);
  Record("exit", -1, 0);
  return 0;
}

HidDeviceInfo* SimulatedHid::Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) {
  std::lock_guard lock(mutex_);
  HidDeviceInfo* head = nullptr;
  HidDeviceInfo** tail = &head;
  int count = 0;
  for (const auto& device : devices_) {
    const SimDeviceConfig& config = device->config;
    if (!Attached(*device)) continue;
    if (vendor_id != 0 && config.vendor_id != vendor_id) continue;
    if (product_id != 0 && config.product_id != product_id) continue;
    *tail = new HidDeviceInfo{config.path, config.vendor_id, config.product_id,
                              config.manufacturer, config.product, "", nullptr};
    tail = &(*tail)->next;
    ++count;
  }
  Record("enumerate", -1, count);
  return head;
}

void SimulatedHid::FreeEnumeration(HidDeviceInfo* devices) {
  std::lock_guard lock(mutex_);
  DeleteDeviceList(devices);
  Record("free_enumeration", -1, 0);
}

DeviceHandle SimulatedHid::NewHandle(int device) {
  handles_.push_back(std::make_unique<HidHandle>());
  handles_.back()->device = device;
  return handles_.back().get();
}

DeviceHandle SimulatedHid::Open(std::uint16_t vendor_id, std::uint16_t product_id) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    const Device& device = *devices_[i];
    if (!Attached(device) || !device.config.may_open || device.config.vendor_id != vendor_id ||
        device.config.product_id != product_id)
      continue;
    Record("open", static_cast<int>(i), 1);
    return NewHandle(static_cast<int>(i));
  }
  Record("open", -1, 0);
  return nullptr;
}

DeviceHandle SimulatedHid::OpenPath(const std::string& path) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    const Device& device = *devices_[i];
    if (!Attached(device) || !device.config.may_open || device.config.path != path) continue;
    Record("open_path", static_cast<int>(i), 1);
    return NewHandle(static_cast<int>(i));
  }
  Record("open_path", -1, 0);
  return nullptr;
}

SimulatedHid::Device* SimulatedHid::DeviceOf(DeviceHandle handle) {
  for (const auto& owned : handles_)
    if (owned.get() == handle && owned->open) return devices_[static_cast<std::size_t>(handle->device)].get();
  return nullptr;
}

void SimulatedHid::Close(DeviceHandle device) {
  std::lock_guard lock(mutex_);
  Device* target = DeviceOf(device);
  if (target == nullptr) {
    ++bad_closes_;
    Record("close", -1, -1);
    return;
  }
  device->open = false;
  Record("close", device->device, 0);
}

int SimulatedHid::SetNonblocking(DeviceHandle device, int nonblock) {
  std::lock_guard lock(mutex_);
  Device* target = DeviceOf(device);
  int result = target == nullptr || !Attached(*target) ? -1 : 0;
  if (result == 0) device->nonblocking = nonblock != 0;
  Record("nonblocking", target != nullptr ? device->device : -1, result);
  return result;
}

int SimulatedHid::Write(DeviceHandle handle, const std::uint8_t* data, std::size_t length) {
  std::lock_guard lock(mutex_);
  Device* device = DeviceOf(handle);
  if (device == nullptr || !Attached(*device)) {
    Record("write", device != nullptr ? handle->device : -1, -1);
    return -1;
  }
  int index = handle->device;
  device->pending.reset();
  if (!CheckRequest(data, length)) {
    ++device->malformed;
    Record("write", index, static_cast<int>(length));
    return static_cast<int>(length);
  }
  CommandFrame request;
  std::memcpy(request.bytes.data(), data, kFrameSize);
  if (keep_history_) device->requests.push_back(request);
  Record("write", index, static_cast<int>(length));

  std::uint16_t command = request.command();
  const SimRule* rule = nullptr;
  for (std::size_t i = 0; i < device->config.rules.size(); ++i) {
    const SimRule& candidate = device->config.rules[i];
    if (candidate.command != command) continue;
    int seen = device->rule_seen[i]++;
    bool changes = seen >= candidate.after && (!candidate.count || seen < candidate.after + *candidate.count);
    if (rule == nullptr && changes) rule = &candidate;
  }

  Pending pending;
  if (rule != nullptr && rule->answer == SimAnswer::kSilent) return static_cast<int>(length);
  if (rule != nullptr && rule->answer == SimAnswer::kFail) pending.kind = Pending::Kind::kFail;
  if (rule != nullptr && rule->answer == SimAnswer::kUnplug) pending.kind = Pending::Kind::kUnplug;
  if (pending.kind != Pending::Kind::kAnswer) {
    device->pending = pending;
    return static_cast<int>(length);
  }

  std::uint16_t echo = command;
  std::uint32_t status = 0;
  std::string payload;
  const char* read_field = FieldOfReadCode(command);
  if (read_field != nullptr && device->fields.count(read_field) != 0) payload = device->fields[read_field];
  if (rule != nullptr) {
    if (rule->answer == SimAnswer::kRefuse || rule->answer == SimAnswer::kReply) status = rule->status;
    if (rule->echo) echo = *rule->echo;
    if (rule->payload) payload = *rule->payload;
  }
  auto stated_length = static_cast<std::uint16_t>(std::min(payload.size(), kPayloadCapacity));
  if (rule != nullptr && rule->length) stated_length = *rule->length;
  pending.answer = MakeAnswer(echo, status, payload, stated_length);
  device->pending = pending;
  if (status != 0) return static_cast<int>(length);

  // The request was accepted: it takes effect.
  std::string received(reinterpret_cast<const char*>(request.payload()), request.length());
  if (IsFieldWrite(command)) {
    device->fields[FieldOfReadCode(command - 1)] = received;
  } else if (command == CMD_OTA_START) {
    device->receiving = false;
  } else if (command == CMD_OTA_FILETYPE) {
    device->files.push_back({received, "", 0, false});
    device->receiving = true;
    device->next_packet = 1;
  } else if (command == CMD_OTA_PACK && device->receiving && request.number() == device->next_packet) {
    if (keep_history_) device->files.back().data += received;
    device->files.back().size += static_cast<std::int64_t>(received.size());
    ++device->next_packet;
  } else if (command == CMD_OTA_STATUS && device->receiving) {
    device->files.back().complete = true;
    device->receiving = false;
  }
  return static_cast<int>(length);
}

int SimulatedHid::ReadTimeout(DeviceHandle handle, std::uint8_t* data, std::size_t length,
                              int milliseconds) {
  std::unique_lock lock(mutex_);
  Device* device = DeviceOf(handle);
  int index = device != nullptr ? handle->device : -1;
  int result = 0;
  if (device == nullptr || !Attached(*device)) {
    result = -1;
  } else if (device->pending) {
    Pending pending = *device->pending;
    device->pending.reset();
    if (pending.kind == Pending::Kind::kAnswer) {
      std::size_t count = std::min(length, kFrameSize);
      std::memcpy(data, pending.answer.bytes.data(), count);
      result = static_cast<int>(count);
    } else {
      if (pending.kind == Pending::Kind::kUnplug) device->unplugged = true;
      result = -1;
    }
  } else if (!handle->nonblocking && milliseconds > 0) {
    // Nothing will come: the whole timeout passes, while the other devices go on.
    lock.unlock();
    clock_.Sleep(milliseconds);
    lock.lock();
  }
  Record("read", index, result);
  return result;
}

std::string SimulatedHid::PortOf(const std::string& hid_path) {
  std::lock_guard lock(mutex_);
  for (const auto& device : devices_)
    if (device->config.path == hid_path) return device->config.port;
  return {};
}

DeviceAccess SimulatedHid::AccessOf(const std::string& hid_path) {
  std::lock_guard lock(mutex_);
  for (const auto& device : devices_)
    if (device->config.path == hid_path)
      return device->config.may_open ? DeviceAccess::kAllowed : DeviceAccess::kDenied;
  return DeviceAccess::kUnknown;
}

bool SimulatedHid::WaitForChange(int timeout_ms) {
  double next = -1;
  {
    std::lock_guard lock(mutex_);
    const double now = Elapsed();
    for (const auto& device : devices_) {
      for (std::optional<double> at : {std::optional<double>(device->config.arrive_ms), device->config.depart_ms})
        if (at && *at > now && (next < 0 || *at < next)) next = *at;
    }
    if (next >= 0) next -= now;
  }
  if (next < 0 || next > timeout_ms) {
    clock_.Sleep(timeout_ms);
    return false;
  }
  clock_.Sleep(static_cast<int>(std::ceil(next)));
  return true;
}

std::vector<std::string> SimulatedHid::CallNames() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  for (const SimCall& call : calls_) names.push_back(call.op);
  return names;
}

const std::vector<CommandFrame>& SimulatedHid::Requests(int device) const {
  return devices_.at(static_cast<std::size_t>(device))->requests;
}

int SimulatedHid::MalformedRequests(int device) const {
  std::lock_guard lock(mutex_);
  return devices_.at(static_cast<std::size_t>(device))->malformed;
}

const std::vector<ReceivedFile>& SimulatedHid::ReceivedFiles(int device) const {
  return devices_.at(static_cast<std::size_t>(device))->files;
}

std::optional<std::string> SimulatedHid::Field(int device, const std::string& name) const {
  std::lock_guard lock(mutex_);
  const auto& fields = devices_.at(static_cast<std::size_t>(device))->fields;
  auto found = fields.find(name);
  if (found == fields.end()) return std::nullopt;
  return found->second;
}

bool SimulatedHid::Unplugged(int device) const {
  std::lock_guard lock(mutex_);
  return devices_.at(static_cast<std::size_t>(device))->unplugged;
}

int SimulatedHid::OpenHandles() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(handles_.begin(), handles_.end(),
                                        [](const auto& handle) { return handle->open; }));
}

}  // namespace pellar
