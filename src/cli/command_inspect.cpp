#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "cli/cli_app.h"
#include "cli/text_table.h"
#include "device/regular_file.h"
#include "packer/packet_inspection.h"

namespace pellar::cli {
namespace {

std::string Hex16(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

void PrintRecords(const PacketInspection& inspection, std::ostream& out) {
  std::vector<std::vector<std::string>> lines{{"kind", "type", "offset", "length"}};
  for (const PacketRecord& record : inspection.records) {
    std::optional<ComponentKind> kind = KindOfType(record.type);
    lines.push_back({std::string(kind ? KindInfo(*kind).name : "?"), Hex16(record.type),
                     std::to_string(record.offset), std::to_string(record.length)});
  }
  PrintAligned(lines, out);
}

int Inspect(const std::string& path, CliEnvironment& environment) {
  // No packet file is larger than the packing's buffer; a larger one is not read to the end.
  FileRead read = ReadRegularFile(path, kPacketCapacity);
  if (!read.ok()) {
    environment.err << "pellar-cli: " << path << ": " << FileReadProblem(read, kPacketCapacity)
                    << '\n';
    return kExitFailed;
  }
  std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(read.bytes.data()),
                                      read.bytes.size());
  PacketInspection inspection = InspectPacket(bytes);
  if (!inspection.ok()) {
    environment.err << "pellar-cli: " << path << ": " << ProblemName(inspection.problem) << ": "
                    << inspection.detail << '\n';
    return kExitFailed;
  }
  environment.out << path << ": " << bytes.size() << " bytes, " << inspection.records.size()
                  << (inspection.records.size() == 1 ? " record\n" : " records\n");
  PrintRecords(inspection, environment.out);
  return kExitOk;
}

}  // namespace

void AddInspectCommand(CLI::App& app, CommandRegistry& commands) {
  CLI::App* inspect = app.add_subcommand(
      "inspect", "Print the records of a packet file, or name what is wrong with it");
  auto path = std::make_shared<std::string>();
  inspect->add_option("file", *path, "The packet file")->required()->type_name("FILE");
  commands.Add(inspect,
               [path](CliEnvironment& environment) { return Inspect(*path, environment); });
}

}  // namespace pellar::cli
