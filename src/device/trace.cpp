#include "device/trace.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>

namespace pellar {

namespace {
thread_local std::string current_device;
}  // namespace

Trace::Trace(const Clock& clock, std::FILE* file, std::string path)
    : clock_(clock), start_ms_(clock.NowMs()), file_(file), path_(std::move(path)) {}

Trace::DeviceScope::DeviceScope(std::string path) : previous_(std::move(current_device)) {
  current_device = std::move(path);
}
Trace::DeviceScope::~DeviceScope() { current_device = std::move(previous_); }
const std::string& Trace::CurrentDevice() { return current_device; }

Trace::~Trace() {
  if (file_ != nullptr) std::fclose(file_);
}

std::unique_ptr<Trace> Trace::ToFile(const std::string& path, const Clock& clock, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot write the trace file \"" + path + "\"";
    return nullptr;
  }
  return std::unique_ptr<Trace>(new Trace(clock, file, path));
}

std::unique_ptr<Trace> Trace::InMemory(const Clock& clock) {
  return std::unique_ptr<Trace>(new Trace(clock, nullptr, ""));
}

double Trace::Elapsed() const { return clock_.NowMs() - start_ms_; }

void Trace::Record(double at, nlohmann::ordered_json fields) {
  nlohmann::ordered_json line = nlohmann::ordered_json::object();
  line["t"] = std::round(at * 10.0) / 10.0;
  const std::string op = fields.value("op", "");
  const bool library_wide = op == "init" || op == "exit" || op == "enumerate" || op == "free_enumeration";
  if (!current_device.empty() && !library_wide) line["device"] = current_device;
  for (auto& [key, value] : fields.items()) line[key] = std::move(value);
  std::lock_guard lock(mutex_);
  if (file_ != nullptr) {
    WriteLine(line);
  } else {
    entries_.push_back(std::move(line));
  }
}

void Trace::WriteLine(const nlohmann::ordered_json& line) {
  std::string text = line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  errno = 0;
  bool written = std::fprintf(file_, "%s\n", text.c_str()) >= 0;
  written = std::fflush(file_) == 0 && written;
  if (written || write_failed_) return;
  write_failed_ = true;
  std::cerr << "warning: the trace file \"" << path_ << "\" cannot be written ("
            << (errno != 0 ? std::strerror(errno) : "write error") << "); the trace is incomplete\n";
}

std::string Trace::Hex(const std::uint8_t* bytes, std::size_t count) {
  while (count > 0 && bytes[count - 1] == 0) --count;
  static const char digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0F];
  }
  return text;
}

namespace {

std::string HexId(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", value);
  return text;
}

class TracingHid final : public HidApi {
 public:
  TracingHid(HidApi& inner, Trace& trace) : inner_(inner), trace_(trace) {}

  int Init() override {
    double at = trace_.Elapsed();
    int result = inner_.Init();
    trace_.Record(at, {{"op", "init"}, {"result", result}});
    return result;
  }
  int Exit() override {
    double at = trace_.Elapsed();
    int result = inner_.Exit();
    trace_.Record(at, {{"op", "exit"}, {"result", result}});
    return result;
  }
  HidDeviceInfo* Enumerate(std::uint16_t vendor_id, std::uint16_t product_id) override {
    double at = trace_.Elapsed();
    HidDeviceInfo* devices = inner_.Enumerate(vendor_id, product_id);
    int count = 0;
    for (HidDeviceInfo* entry = devices; entry != nullptr; entry = entry->next) ++count;
    trace_.Record(at, {{"op", "enumerate"}, {"count", count}});
    return devices;
  }
  void FreeEnumeration(HidDeviceInfo* devices) override {
    double at = trace_.Elapsed();
    inner_.FreeEnumeration(devices);
    trace_.Record(at, {{"op", "free_enumeration"}});
  }
  DeviceHandle Open(std::uint16_t vendor_id, std::uint16_t product_id) override {
    double at = trace_.Elapsed();
    DeviceHandle device = inner_.Open(vendor_id, product_id);
    trace_.Record(at, {{"op", "open"}, {"vid", HexId(vendor_id)}, {"pid", HexId(product_id)},
                   {"ok", device != nullptr}});
    return device;
  }
  DeviceHandle OpenPath(const std::string& path) override {
    double at = trace_.Elapsed();
    DeviceHandle device = inner_.OpenPath(path);
    trace_.Record(at, {{"op", "open"}, {"path", path}, {"ok", device != nullptr}});
    return device;
  }
  void Close(DeviceHandle device) override {
    double at = trace_.Elapsed();
    inner_.Close(device);
    trace_.Record(at, {{"op", "close"}});
  }
  int SetNonblocking(DeviceHandle device, int nonblock) override {
    double at = trace_.Elapsed();
    int result = inner_.SetNonblocking(device, nonblock);
    trace_.Record(at, {{"op", "nonblocking"}, {"value", nonblock}, {"result", result}});
    return result;
  }
  int Write(DeviceHandle device, const std::uint8_t* data, std::size_t length) override {
    double at = trace_.Elapsed();
    int result = inner_.Write(device, data, length);
    trace_.Record(at, {{"op", "write"}, {"len", length}, {"result", result},
                   {"data", Trace::Hex(data, length)}});
    return result;
  }
  int ReadTimeout(DeviceHandle device, std::uint8_t* data, std::size_t length,
                  int milliseconds) override {
    double at = trace_.Elapsed();
    int result = inner_.ReadTimeout(device, data, length, milliseconds);
    std::size_t received = result > 0 ? static_cast<std::size_t>(result) : 0;
    trace_.Record(at, {{"op", "read"}, {"size", length}, {"timeout", milliseconds}, {"result", result},
                   {"data", Trace::Hex(data, received)}});
    return result;
  }

 private:
  HidApi& inner_;
  Trace& trace_;
};

class TracingClock final : public Clock {
 public:
  TracingClock(Clock& inner, Trace& trace) : inner_(inner), trace_(trace) {}
  void Sleep(int milliseconds) override {
    double at = trace_.Elapsed();
    trace_.Record(at, {{"op", "sleep"}, {"ms", milliseconds}});
    inner_.Sleep(milliseconds);
  }
  // One line for the whole wait, as for any other.
  bool SleepUnless(int milliseconds, const std::function<bool()>& stopped) override {
    double at = trace_.Elapsed();
    trace_.Record(at, {{"op", "sleep"}, {"ms", milliseconds}});
    return inner_.SleepUnless(milliseconds, stopped);
  }
  double NowMs() const override { return inner_.NowMs(); }
  void ThreadJoins() override { inner_.ThreadJoins(); }
  void ThreadLeaves() override { inner_.ThreadLeaves(); }

 private:
  Clock& inner_;
  Trace& trace_;
};

}  // namespace

std::unique_ptr<HidApi> MakeTracingHid(HidApi& inner, Trace& trace) {
  return std::make_unique<TracingHid>(inner, trace);
}

std::unique_ptr<Clock> MakeTracingClock(Clock& inner, Trace& trace) {
  return std::make_unique<TracingClock>(inner, trace);
}

}  // namespace pellar
