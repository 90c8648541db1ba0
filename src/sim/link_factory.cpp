#include "sim/link_factory.h"

#include "device/hidapi_backend.h"
#include "device/trace.h"
#include "sim/simulated_hid.h"

namespace pellar {
namespace {

class AssembledLink final : public Link {
 public:
  AssembledLink(std::unique_ptr<Clock> clock, TextCodec codec)
      : base_clock_(std::move(clock)), codec_(std::move(codec)) {}

  bool Assemble(const LinkOptions& options, std::string* error) {
    if (!options.simulate_file.empty()) {
      std::optional<SimConfig> config = LoadSimConfig(options.simulate_file, error);
      if (!config) return false;
      config->keep_history = false;
      auto simulation = std::make_unique<SimulatedHid>(std::move(*config), *base_clock_);
      simulation_ = simulation.get();
      base_hid_ = std::move(simulation);
    } else {
      base_hid_ = MakeHidapiBackend();
      udev_system_ = MakeUdevSystem();
    }
    if (!options.trace_file.empty()) {
      trace_ = Trace::ToFile(options.trace_file, *base_clock_, error);
      if (trace_ == nullptr) return false;
      traced_hid_ = MakeTracingHid(*base_hid_, *trace_);
      traced_clock_ = MakeTracingClock(*base_clock_, *trace_);
    }
    return true;
  }

  void AssembleSimulated(SimConfig config) {
    auto simulation = std::make_unique<SimulatedHid>(std::move(config), *base_clock_);
    simulation_ = simulation.get();
    base_hid_ = std::move(simulation);
  }

  HidApi& hid() override { return traced_hid_ ? *traced_hid_ : *base_hid_; }
  Clock& clock() override { return traced_clock_ ? *traced_clock_ : *base_clock_; }
  const TextCodec& codec() const override { return codec_; }
  SimulatedHid* simulation() override { return simulation_; }
  DeviceSystem& system() override {
    if (simulation_ != nullptr) return *simulation_;
    return *udev_system_;
  }

 private:
  // Declared in the order they depend on each other, so they are destroyed in reverse.
  std::unique_ptr<Clock> base_clock_;
  TextCodec codec_;
  std::unique_ptr<HidApi> base_hid_;
  SimulatedHid* simulation_ = nullptr;
  std::unique_ptr<DeviceSystem> udev_system_;
  std::unique_ptr<Trace> trace_;
  std::unique_ptr<HidApi> traced_hid_;
  std::unique_ptr<Clock> traced_clock_;
};

// Lends the caller's clock to a link, which otherwise owns its clock.
class BorrowedClock final : public Clock {
 public:
  explicit BorrowedClock(Clock& inner) : inner_(inner) {}
  void Sleep(int milliseconds) override { inner_.Sleep(milliseconds); }
  bool SleepUnless(int milliseconds, const std::function<bool()>& stopped) override {
    return inner_.SleepUnless(milliseconds, stopped);
  }
  double NowMs() const override { return inner_.NowMs(); }
  void ThreadJoins() override { inner_.ThreadJoins(); }
  void ThreadLeaves() override { inner_.ThreadLeaves(); }

 private:
  Clock& inner_;
};

}  // namespace

std::unique_ptr<Link> MakeSimulatedLink(SimConfig config, Clock& clock) {
  auto link = std::make_unique<AssembledLink>(std::make_unique<BorrowedClock>(clock),
                                              TextCodec::Utf8());
  link->AssembleSimulated(std::move(config));
  return link;
}

std::unique_ptr<Link> MakeLink(const LinkOptions& options, std::unique_ptr<Clock> clock,
                               std::string* error) {
  std::optional<TextCodec> codec = TextCodec::Make(options.encoding, error);
  if (!codec) return nullptr;
  auto link = std::make_unique<AssembledLink>(std::move(clock), std::move(*codec));
  if (!link->Assemble(options, error)) return nullptr;
  return link;
}

}  // namespace pellar
