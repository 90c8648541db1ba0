#include <gtest/gtest.h>

#include "support/sim_bench.h"

namespace pellar::testing {
namespace {

SimConfig MustParse(const std::string& text) {
  std::string error;
  std::optional<SimConfig> config = ParseSimConfig(text, &error);
  if (!config) {
    ADD_FAILURE() << "bad simulated-device configuration: " << error;
    return {};
  }
  return *config;
}

TextCodec MustCodec(const std::string& encoding) {
  std::optional<TextCodec> codec = TextCodec::Make(encoding);
  if (!codec) {
    ADD_FAILURE() << "unknown encoding " << encoding;
    return TextCodec::Utf8();
  }
  return *codec;
}

}  // namespace

SimBench::SimBench(const std::string& config_json, const std::string& encoding)
    : sim_(MustParse(config_json), clock_),
      trace_(Trace::InMemory(clock_)),
      hid_(MakeTracingHid(sim_, *trace_)),
      traced_clock_(MakeTracingClock(clock_, *trace_)),
      codec_(MustCodec(encoding)),
      context_{*hid_, *traced_clock_, ui_, codec_} {}

std::vector<std::string> SimBench::Waits() const {
  std::vector<std::string> waits;
  for (const auto& entry : trace()) {
    const std::string op = entry["op"];
    if (op == "sleep") {
      waits.push_back("sleep " + std::to_string(entry["ms"].get<int>()));
    } else if (op == "read") {
      waits.push_back("read " + std::to_string(entry["size"].get<int>()) + "/" +
                      std::to_string(entry["timeout"].get<int>()) + " -> " +
                      std::to_string(entry["result"].get<int>()));
    }
  }
  return waits;
}

std::vector<std::string> SimBench::Ops() const {
  std::vector<std::string> ops;
  for (const auto& entry : trace()) ops.push_back(entry["op"]);
  return ops;
}

::testing::AssertionResult SimBench::LibraryReleased() const {
  int inits = 0, exits = 0, opens = 0, closes = 0;
  for (const SimCall& call : sim_.calls()) {
    if (call.op == "init") ++inits;
    if (call.op == "exit") ++exits;
    if ((call.op == "open" || call.op == "open_path") && call.result > 0) ++opens;
    if (call.op == "close") ++closes;
  }
  if (inits != exits || opens != closes || sim_.BadCloses() != 0 || sim_.OpenHandles() != 0) {
    return ::testing::AssertionFailure()
           << "init " << inits << ", exit " << exits << ", open " << opens << ", close " << closes
           << ", bad closes " << sim_.BadCloses() << ", handles still open " << sim_.OpenHandles();
  }
  return ::testing::AssertionSuccess();
}

std::string OneDevice(const std::string& rules_json, const std::string& fields_json) {
  return R"({"devices":[{"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678",)"
         R"("fields":)" + fields_json + R"(,"rules":)" + rules_json + "}]}";
}

}  // namespace pellar::testing
