// Thousands of updates against a device that misbehaves at random, on virtual time: whatever the
// device does, the run ends, claims success only for files the device holds whole, releases the
// device and the library, and never counts a file cut short as sent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "device/command_codes.h"
#include "support/sim_bench.h"
#include "update/update_files.h"
#include "update/update_run.h"

namespace pellar {
namespace {

using testing::OneDevice;
using testing::PatternBytes;
using testing::SimBench;

constexpr int kRuns = 4000;

// The files of one update, held in memory as the station holds them.
class MemorySource final : public UpdateSource {
 public:
  struct File {
    UpdateEntry entry;
    std::string bytes;
  };
  explicit MemorySource(std::vector<File> files) : files_(std::move(files)) {}
  long long FileCount() override { return static_cast<long long>(files_.size()); }
  UpdateEntry Entry(long long index) override { return files_[static_cast<std::size_t>(index - 1)].entry; }
  SourceFile Load(const UpdateEntry& entry) override {
    const std::string& bytes = files_[static_cast<std::size_t>(entry.index - 1)].bytes;
    return {HostFileStatus::kLoaded, reinterpret_cast<const std::uint8_t*>(bytes.data()),
            static_cast<std::int64_t>(bytes.size())};
  }
  const std::vector<File>& files() const { return files_; }

 private:
  std::vector<File> files_;
};

// Which files the run reported as accepted, in order.
class AcceptanceWatcher final : public TransferWatcher {
 public:
  void FileStarted(const std::string&, std::int64_t) override {}
  void DataAccepted(std::int64_t, std::int64_t) override {}
  void FileEnded(bool accepted) override { ended.push_back(accepted); }
  std::vector<bool> ended;
};

class FaultScript {
 public:
  explicit FaultScript(std::mt19937& random) : random_(random) {}

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  // Sizes on and around the packet boundaries, where off-by-one faults live.
  std::size_t FileSize() {
    if (Pick(0, 4) == 0) return static_cast<std::size_t>(Pick(1, 4000));
    return static_cast<std::size_t>(std::max(1, Pick(1, 3) * static_cast<int>(kPayloadCapacity) + Pick(-1, 1)));
  }

  // 0 to 3 rules over the transfer's commands, of every answer kind.
  std::string Rules() {
    static const std::uint16_t kCommands[] = {CMD_OTA_START, CMD_OTA_FILETYPE, CMD_OTA_PACK, CMD_OTA_STATUS};
    static const char* kAnswers[] = {"refuse", "silent", "echo", "reply", "fail", "unplug"};
    std::ostringstream rules;
    rules << '[';
    const int count = Pick(0, 3);
    for (int i = 0; i < count; ++i) {
      const std::string answer = kAnswers[Pick(0, 5)];
      rules << (i > 0 ? "," : "") << R"({"command":)" << kCommands[Pick(0, 3)] << R"(,"answer":")" << answer
            << R"(","after":)" << Pick(0, 4);
      if (Pick(0, 2) != 0) rules << R"(,"count":)" << Pick(1, 3);
      if (answer == "refuse" || (answer == "reply" && Pick(0, 1) == 0)) rules << R"(,"status":)" << Pick(1, 300);
      if (answer == "echo" || (answer == "reply" && Pick(0, 2) == 0))
        rules << R"(,"echo":)" << kCommands[Pick(0, 3)];
      if (answer == "reply" && Pick(0, 1) == 0) rules << R"(,"length":)" << Pick(0, 1100);
      if (answer == "reply" && Pick(0, 2) == 0) rules << R"(,"payload":"xyz")";
      rules << '}';
    }
    rules << ']';
    return rules.str();
  }

 private:
  std::mt19937& random_;
};

unsigned SoakSeed() {
  if (const char* given = std::getenv("PELLAR_SOAK_SEED")) return static_cast<unsigned>(std::strtoul(given, nullptr, 10));
  return std::random_device{}();
}

TEST(UpdateSoak, EveryFaultScriptKeepsTheInvariants) {
  const unsigned seed = SoakSeed();
  SCOPED_TRACE("seed " + std::to_string(seed) + " (PELLAR_SOAK_SEED=" + std::to_string(seed) + " repeats it)");
  std::mt19937 random(seed);
  FaultScript script(random);
  for (int run = 0; run < kRuns; ++run) {
    const std::string rules = script.Rules();
    std::vector<MemorySource::File> files;
    const int file_count = script.Pick(1, 3);
    for (int i = 1; i <= file_count; ++i) {
      std::string name = "f" + std::to_string(i) + (script.Pick(0, 4) == 0 ? ".lzma" : ".bin");
      files.push_back({UpdateEntry{i, name, name}, PatternBytes(script.FileSize(), static_cast<std::uint32_t>(run * 4 + i))});
    }
    const int stop_at_breath = script.Pick(0, 3) == 0 ? script.Pick(1, 8) : 0;
    SCOPED_TRACE("run " + std::to_string(run) + ", rules " + rules + ", stop at breath " +
                 std::to_string(stop_at_breath));

    SimBench bench(OneDevice(rules));
    bench.ui().RequestCloseAtBreath(stop_at_breath);
    MemorySource source(files);
    AcceptanceWatcher watcher;
    UpdateRunOptions options;
    options.watcher = &watcher;
    DeviceContext& context = bench.context();
    DeviceOpener open = [&context] { return OpenDevicePath(context, "sim:0"); };
    const UpdateOutcome outcome = UpdateRun(context, open, source, options);  // it returns: the run ended

    ASSERT_TRUE(bench.LibraryReleased());
    const std::vector<std::string> messages = bench.ui().messages();
    const bool said_ok = std::find(messages.begin(), messages.end(), kUpdateOk) != messages.end();
    ASSERT_EQ(said_ok, outcome == UpdateOutcome::kSucceeded);
    // What the run counts as accepted, the device holds whole, in order.
    const std::vector<ReceivedFile>& received = bench.sim().ReceivedFiles(0);
    std::vector<const ReceivedFile*> whole;
    for (const ReceivedFile& file : received)
      if (file.complete) whole.push_back(&file);
    std::size_t accepted = 0;
    for (bool ended : watcher.ended) accepted += ended ? 1 : 0;
    ASSERT_LE(accepted, whole.size());
    for (std::size_t i = 0, matched = 0; i < watcher.ended.size(); ++i) {
      if (!watcher.ended[i]) continue;
      // The accepted files are the run's first ones: any failure or cut ends the run.
      ASSERT_EQ(i, matched);
      const MemorySource::File& sent = source.files()[i];
      bool found = false;
      for (const ReceivedFile* file : whole)
        found = found || (file->device_name == sent.entry.device_path && file->data == sent.bytes);
      ASSERT_TRUE(found) << "file " << i + 1 << " counted as sent but not whole on the device";
      ++matched;
    }
    if (outcome == UpdateOutcome::kSucceeded) ASSERT_EQ(accepted, files.size());
  }
}

}  // namespace
}  // namespace pellar
