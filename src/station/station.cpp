#include "station/station.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "station/unit_record.h"
#include "station/unit_run.h"

namespace pellar {
namespace {

// How long the watch waits for news of devices before it looks anyway.
constexpr int kWatchWaitMs = 500;
constexpr int kLookAnywayEvery = 10;

}  // namespace

// One slot: the device in a port and the unit that works on it.
struct Slot {
  UnitSnapshot unit;
  UnitDevice device;
  bool present = true;   // still listed by the last scan
  bool departed = false; // left while its unit ran
  std::atomic<bool> stop{false};
  std::thread thread;
};

class Station::Engine final {
 public:
  Engine(const StationParts& parts, std::shared_ptr<const LoadedUpdate> update, StationOptions options,
         StationObserver* observer)
      : parts_(parts), update_(std::move(update)), options_(std::move(options)), observer_(observer) {}

  ~Engine() { End(); }

  bool Begin(std::string* error) {
    if (!options_.record_path.empty()) {
      record_ = std::make_unique<RecordFile>();
      if (!record_->Open(options_.record_path, error)) return false;
    }
    wall_offset_ms_ = WallClockMs() - parts_.clock.NowMs();
    started_ms_ = parts_.clock.NowMs();
    parts_.hid.Init();  // once for the station: units never set it up or shut it down
    begun_ = true;
    return true;
  }

  void Rescan() {
    std::lock_guard scanning(scan_mutex_);
    std::vector<UnitDevice> found = ListMatching();
    std::vector<std::thread> finished;
    std::vector<StationEvent> events;
    {
      std::lock_guard lock(mutex_);
      for (auto& slot : slots_) slot.present = false;
      for (const UnitDevice& device : found) TakeDevice(device, events);
      DropAbsent(events, finished);
      for (std::thread& thread : graveyard_) finished.push_back(std::move(thread));
      graveyard_.clear();
    }
    // A slot that never ran has no thread; an ended one still holds its stack until joined.
    for (std::thread& thread : finished)
      if (thread.joinable()) thread.join();
    Tell(events);
    if (auto_start_) StartIdle();
  }

  int StartIdle() {
    std::vector<StationEvent> events;
    int started = 0;
    {
      std::lock_guard lock(mutex_);
      if (ending_ || !begun_) return 0;
      for (auto it = slots_.begin(); it != slots_.end();) {
        if (it->unit.state == UnitState::kUnplugged) {  // the operator has seen it: clear the slot
          graveyard_.push_back(std::move(it->thread));
          it = slots_.erase(it);
          continue;
        }
        if (it->unit.state == UnitState::kIdle && it->present) {
          StartUnit(*it);
          ++started;
        }
        ++it;
      }
    }
    Tell(events);
    return started;
  }

  void Watch() {
    std::lock_guard lock(mutex_);
    if (watcher_.joinable() || ending_) return;
    parts_.clock.ThreadJoins();
    watcher_ = std::thread([this] { WatchLoop(); });
  }

  void SetAutoStart(bool on) {
    auto_start_ = on;
    if (on) StartIdle();
  }
  bool AutoStart() const { return auto_start_; }

  void Stop() {
    auto_start_ = false;
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_)
      if (slot.unit.state == UnitState::kRunning) slot.stop = true;
  }

  void WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return running_ == 0; });
  }

  bool WaitUntilIdleFor(int timeout_ms) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return running_ == 0; });
  }

  void End() {
    {
      std::lock_guard lock(mutex_);
      if (ending_) return;
      ending_ = true;
    }
    Stop();
    if (watcher_.joinable()) watcher_.join();
    WaitUntilIdle();
    std::vector<std::thread> threads;
    {
      std::lock_guard lock(mutex_);
      for (Slot& slot : slots_) threads.push_back(std::move(slot.thread));
      for (std::thread& thread : graveyard_) threads.push_back(std::move(thread));
      graveyard_.clear();
    }
    for (std::thread& thread : threads)
      if (thread.joinable()) thread.join();
    if (begun_) parts_.hid.Exit();
  }

  std::vector<UnitSnapshot> Snapshot() const {
    std::lock_guard lock(mutex_);
    std::vector<UnitSnapshot> units;
    for (const Slot& slot : slots_) units.push_back(slot.unit);
    return units;
  }

  StationCounters Counters() const {
    std::lock_guard lock(mutex_);
    StationCounters counters = counters_;
    counters.running = running_;
    const double hours = (parts_.clock.NowMs() - started_ms_) / 3'600'000.0;
    counters.units_per_hour = hours > 0 ? counters.passed / hours : 0;
    return counters;
  }

  const LoadedUpdate& update() const { return *update_; }
  const StationOptions& options() const { return options_; }

 private:
  class SlotReporter;

  std::vector<UnitDevice> ListMatching() {
    std::vector<UnitDevice> found;
    const DevicePair match = options_.match;
    HidDeviceInfo* devices = parts_.hid.Enumerate(match.vendor_id, match.product_id);
    for (HidDeviceInfo* entry = devices; entry != nullptr; entry = entry->next) {
      if (entry->vendor_id != match.vendor_id || entry->product_id != match.product_id) continue;
      std::string port = parts_.system.PortOf(entry->path);
      if (port.empty()) port = entry->path;
      const auto& ports = options_.ports;
      if (!ports.empty() && std::find(ports.begin(), ports.end(), port) == ports.end()) continue;
      found.push_back({entry->path, port, match, entry->manufacturer, entry->product});
    }
    parts_.hid.FreeEnumeration(devices);
    return found;
  }

  // Under the lock: the device keeps its slot, takes the slot its port left, or gets a new one.
  void TakeDevice(const UnitDevice& device, std::vector<StationEvent>& events) {
    for (Slot& slot : slots_) {
      if (slot.device.path == device.path && !slot.departed) {
        slot.present = true;
        return;
      }
    }
    auto slot = std::find_if(slots_.begin(), slots_.end(), [&device](const Slot& candidate) {
      return candidate.device.port == device.port && candidate.unit.state == UnitState::kUnplugged;
    });
    if (slot == slots_.end()) {
      slots_.emplace_back();
      slot = std::prev(slots_.end());
    } else {
      graveyard_.push_back(std::move(slot->thread));
      slot->departed = false;
      slot->stop = false;
    }
    slot->device = device;
    slot->present = true;
    slot->unit = UnitSnapshot{};
    slot->unit.unit_id = ++last_unit_id_;
    slot->unit.port = device.port;
    slot->unit.path = device.path;
    slot->unit.manufacturer = device.manufacturer;
    slot->unit.product = device.product;
    slot->unit.file_count = static_cast<int>(update_->files.size());
    slot->unit.unit_size = update_->TotalBytes();
    events.push_back({StationEvent::Kind::kArrived, slot->unit, ""});
  }

  // Under the lock: a slot whose device is gone goes, unless its unit still runs.
  void DropAbsent(std::vector<StationEvent>& events, std::vector<std::thread>& finished) {
    for (auto it = slots_.begin(); it != slots_.end();) {
      if (it->present || it->unit.state == UnitState::kUnplugged) {
        ++it;
        continue;
      }
      if (it->unit.state == UnitState::kRunning) {
        it->departed = true;
        ++it;
        continue;
      }
      events.push_back({StationEvent::Kind::kLeft, it->unit, ""});
      finished.push_back(std::move(it->thread));
      it = slots_.erase(it);
    }
  }

  void StartUnit(Slot& slot);
  void FinishUnit(Slot& slot, const UnitRecord& record);

  void WatchLoop() {
    for (int quiet = 0;; ++quiet) {
      {
        std::lock_guard lock(mutex_);
        if (ending_) break;
      }
      const bool changed = parts_.system.WaitForChange(kWatchWaitMs);
      if (changed || quiet >= kLookAnywayEvery) {
        Rescan();
        quiet = 0;
      }
    }
    parts_.clock.ThreadLeaves();
  }

  void Tell(const std::vector<StationEvent>& events) {
    if (observer_ == nullptr) return;
    std::lock_guard telling(observer_mutex_);
    for (const StationEvent& event : events) observer_->OnEvent(event);
  }
  void Tell(const StationEvent& event) { Tell(std::vector<StationEvent>{event}); }

  StationParts parts_;
  std::shared_ptr<const LoadedUpdate> update_;
  StationOptions options_;
  StationObserver* observer_;
  std::unique_ptr<RecordFile> record_;
  double wall_offset_ms_ = 0;
  double started_ms_ = 0;
  bool begun_ = false;

  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::list<Slot> slots_;  // a list: slots stay where they are while units point at them
  std::vector<std::thread> graveyard_;  // threads of removed slots, ended, to be joined
  StationCounters counters_;
  int running_ = 0;
  std::uint64_t last_unit_id_ = 0;
  bool ending_ = false;
  std::atomic<bool> auto_start_{false};
  std::thread watcher_;
  std::mutex scan_mutex_;
  std::mutex observer_mutex_;
};

// A unit's line to its slot.
class Station::Engine::SlotReporter final : public UnitReporter {
 public:
  SlotReporter(Engine& engine, Slot& slot) : engine_(engine), slot_(slot) {}
  void Change(const std::function<void(UnitSnapshot&)>& change,
              std::optional<StationEvent::Kind> event, const std::string& text) override {
    UnitSnapshot copy;
    {
      std::lock_guard lock(engine_.mutex_);
      change(slot_.unit);
      if (event) copy = slot_.unit;
    }
    if (event) engine_.Tell(StationEvent{*event, copy, text});
  }
  bool Stopped() const override { return slot_.stop; }
  bool Departed() const override {
    std::lock_guard lock(engine_.mutex_);
    return slot_.departed;
  }

 private:
  Engine& engine_;
  Slot& slot_;
};

void Station::Engine::StartUnit(Slot& slot) {
  slot.unit.state = UnitState::kRunning;
  slot.stop = false;
  ++running_;
  if (slot.thread.joinable()) graveyard_.push_back(std::move(slot.thread));
  parts_.clock.ThreadJoins();  // before the thread starts, so virtual time waits for it
  slot.thread = std::thread([this, &slot] {
    SlotReporter reporter(*this, slot);
    reporter.Change([](UnitSnapshot&) {}, StationEvent::Kind::kStarted, "");
    UnitRecord record = RunUnit(parts_, *update_, options_, record_.get(), slot.device, reporter,
                                wall_offset_ms_);
    FinishUnit(slot, record);
    parts_.clock.ThreadLeaves();
  });
}

void Station::Engine::FinishUnit(Slot& slot, const UnitRecord& record) {
  bool written = record_ == nullptr || record_->Append(record);
  StationEvent ended{StationEvent::Kind::kEnded, {}, record.result};
  {
    std::lock_guard lock(mutex_);
    if (!written)
      slot.unit.warnings.push_back("the record could not be written to " + record_->path());
    if (slot.departed) {
      slot.unit.state = UnitState::kUnplugged;
      slot.unit.messages = record.messages;
      ++counters_.failed;
    } else if (record.result == "passed") {
      slot.unit.state = UnitState::kPassed;
      ++counters_.passed;
    } else if (record.result == "cancelled") {
      slot.unit.state = UnitState::kCancelled;
      ++counters_.cancelled;
    } else {
      slot.unit.state = UnitState::kFailed;
      ++counters_.failed;
    }
    ended.unit = slot.unit;
  }
  Tell(ended);
  {
    std::lock_guard lock(mutex_);
    --running_;
  }
  idle_.notify_all();
}

Station::Station(const StationParts& parts, std::shared_ptr<const LoadedUpdate> update,
                 StationOptions options, StationObserver* observer)
    : engine_(std::make_unique<Engine>(parts, std::move(update), std::move(options), observer)) {}
Station::~Station() = default;
bool Station::Begin(std::string* error) { return engine_->Begin(error); }
void Station::Rescan() { engine_->Rescan(); }
int Station::StartIdle() { return engine_->StartIdle(); }
void Station::Watch() { engine_->Watch(); }
void Station::SetAutoStart(bool on) { engine_->SetAutoStart(on); }
bool Station::AutoStart() const { return engine_->AutoStart(); }
void Station::Stop() { engine_->Stop(); }
void Station::WaitUntilIdle() { engine_->WaitUntilIdle(); }
bool Station::WaitUntilIdleFor(int timeout_ms) { return engine_->WaitUntilIdleFor(timeout_ms); }
void Station::End() { engine_->End(); }
std::vector<UnitSnapshot> Station::Snapshot() const { return engine_->Snapshot(); }
StationCounters Station::Counters() const { return engine_->Counters(); }
const LoadedUpdate& Station::update() const { return engine_->update(); }
const StationOptions& Station::options() const { return engine_->options(); }

}  // namespace pellar
