#include <CLI/CLI.hpp>

#include <memory>

#include "cli/cli_app.h"
#include "packer/packet_packer.h"

namespace pellar::cli {
namespace {

struct PackOptions {
  ComponentPaths paths;
  std::string output = kDefaultPacketPath;
};

// The option of each kind, as the operator knows the kinds from the builder window's captions.
struct KindOption {
  ComponentKind kind;
  const char* name;
};

constexpr KindOption kKindOptions[] = {
    {ComponentKind::UVCCONFIG, "--uvcconfig"},
    {ComponentKind::UVCATTR, "--uvcattr"},
    {ComponentKind::HID_TEST, "--hid-test"},
    {ComponentKind::SENSOR_DIRVER, "--sensor-dirver"},
    {ComponentKind::SENSOR_SETTINGS, "--sensor-settings"},
    {ComponentKind::APP_INIT, "--app-init"},
    {ComponentKind::FAST_INIT, "--fast-init"},
    {ComponentKind::APP, "--app"},
};

}  // namespace

void AddPackCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* pack = app.add_subcommand(
      "pack", "Build a packet file from component files, one per kind (at least one)");
  auto options = std::make_shared<PackOptions>();
  for (const KindOption& option : kKindOptions) {
    std::string kind(KindInfo(option.kind).name);
    pack->add_option(option.name, options->paths[KindIndex(option.kind)],
                     "The " + kind + " component file")
        ->type_name("FILE");
  }
  pack->add_option("-o", options->output,
                   "Where to write the packet file (default: packet.bin in the current directory)")
      ->type_name("FILE");
  commands.Add(pack, [options](CliEnvironment& environment) {
    PackOutcome outcome = OnPack(options->paths, environment.ui, options->output);
    return outcome == PackOutcome::kPacked ? kExitOk : kExitFailed;
  });
}

}  // namespace pellar::cli
