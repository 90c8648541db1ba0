// The device's answers as the transfer and the field reads and writes judge them. The input
// chooses the operation, then scripts every answer: none (a timeout), a failed read, raw bytes, or
// a well-formed frame with the input's command, status, length and payload, so that the fuzzer
// reaches every step of the conversation and not only the checksum test.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "device/clock.h"
#include "device/command_frame.h"
#include "device/command_codes.h"
#include "device/device_context.h"
#include "device/device_table.h"
#include "device/operator.h"
#include "info/device_field.h"
#include "info/field_procedures.h"
#include "update/ota_transfer.h"

namespace pellar {
namespace {

// Takes bytes off the input; zeros once it is used up.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return position_ >= size_; }
  std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
  std::size_t Take(std::uint8_t* into, std::size_t count) {
    std::size_t taken = std::min(count, size_ - std::min(position_, size_));
    if (taken > 0) std::memcpy(into, data_ + position_, taken);
    position_ += taken;
    return taken;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// One device whose every answer the input writes. Checks the pairing of the library's calls.
class ScriptedHid final : public HidApi {
 public:
  explicit ScriptedHid(Input& input) : input_(input) {}
  ~ScriptedHid() override {
    if (open_ != 0 || initialised_ != 0) __builtin_trap();  // a handle or the library left behind
  }
  int Init() override { ++initialised_; return 0; }
  int Exit() override { --initialised_; return 0; }
  HidDeviceInfo* Enumerate(std::uint16_t, std::uint16_t) override { return nullptr; }
  void FreeEnumeration(HidDeviceInfo*) override {}
  DeviceHandle Open(std::uint16_t, std::uint16_t) override { return OpenOne(); }
  DeviceHandle OpenPath(const std::string&) override { return OpenOne(); }
  void Close(DeviceHandle device) override {
    if (device != Handle() || open_ == 0) __builtin_trap();
    --open_;
  }
  int SetNonblocking(DeviceHandle, int) override { return 0; }
  int Write(DeviceHandle, const std::uint8_t* data, std::size_t length) override {
    if (length != kFrameSize) __builtin_trap();  // every request is one whole report
    std::memcpy(last_request_.bytes.data(), data, kFrameSize);
    ++writes_;
    return static_cast<int>(length);
  }
  int ReadTimeout(DeviceHandle, std::uint8_t* data, std::size_t length, int) override {
    // Past the script every answer agrees, so every conversation comes to its end.
    if (input_.empty()) return Answer(last_request_.command(), 0, 0, data, length, false);
    switch (input_.Byte() % 6) {
      case 0: return 0;
      case 1: return -1;
      case 2: {
        std::size_t count = std::min<std::size_t>(input_.Word() % (kFrameSize + 1), length);
        std::memset(data, 0, length);
        return static_cast<int>(input_.Take(data, count));
      }
      case 3: return Answer(last_request_.command(), input_.Byte() % 4 == 0 ? input_.Byte() : 0, 0, data, length, true);
      case 4: return Answer(input_.Word(), 0, 0, data, length, false);
      default: return Answer(last_request_.command(), 0, input_.Word(), data, length, true);
    }
  }

 private:
  DeviceHandle Handle() { return reinterpret_cast<DeviceHandle>(this); }
  DeviceHandle OpenOne() {
    if (input_.Byte() == 0xFF) return nullptr;  // the device is not there
    ++open_;
    return Handle();
  }
  // A well-formed answer; the payload, and a length that need not match it, come from the input.
  int Answer(std::uint16_t command, std::uint32_t status, std::uint16_t stated_length,
             std::uint8_t* data, std::size_t length, bool with_payload) {
    std::uint8_t payload[kPayloadCapacity] = {};
    std::size_t count = with_payload ? input_.Take(payload, input_.Byte() % 64) : 0;
    CommandFrame answer = BuildFrame(command, kFlagComplete, status, payload, count);
    if (stated_length != 0) {
      answer.bytes[6] = static_cast<std::uint8_t>(stated_length);
      answer.bytes[7] = static_cast<std::uint8_t>(stated_length >> 8);
    }
    std::size_t copied = std::min(length, kFrameSize);
    std::memcpy(data, answer.bytes.data(), copied);
    return static_cast<int>(copied);
  }

  Input& input_;
  CommandFrame last_request_;
  int initialised_ = 0;
  int open_ = 0;
  int writes_ = 0;
};

class SilentOperator final : public Operator {
 public:
  void ShowMessage(const std::string&) override {}
  void SetProgress(int) override {}
  void SetStatus(const std::string&) override {}
  bool Breathe() override { return false; }
};

constexpr std::int32_t kSizes[] = {0, 1, 1009, 1010, 1011, 2020, 2021, 5000};

}  // namespace
}  // namespace pellar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pellar;
  Input input(data, size);
  const std::uint8_t operation = input.Byte();
  VirtualClock clock;
  SilentOperator ui;
  static const TextCodec codec = TextCodec::Utf8();
  ScriptedHid hid(input);
  DeviceContext context{hid, clock, ui, codec};
  DeviceOpener open = [&hid] {
    hid.Init();
    DeviceHandle device = hid.Open(0x1234, 0x5678);
    if (device == nullptr) hid.Exit();
    return device;
  };
  const DeviceField& field = kDeviceFields[(operation >> 2) % kDeviceFields.size()];
  switch (operation % 3) {
    case 0: {
      const std::int32_t file_size = kSizes[(operation >> 2) % std::size(kSizes)];
      std::vector<std::uint8_t> file(static_cast<std::size_t>(file_size), 0xA5);
      DeviceHandle device = open();
      if (device == nullptr) break;
      OtaTransferReport report;
      (void)OtaTransfer(context, device, file.data(), file_size, "fw.bin", &report);
      hid.Close(device);
      hid.Exit();
      break;
    }
    case 1:
      (void)ReadField(context, open, field);
      break;
    default:
      if (field.write) (void)WriteField(context, open, field, "0123456789");
      break;
  }
  return 0;
}
