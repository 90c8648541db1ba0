#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>
#include <ostream>

#include "cli/cli_app.h"
#include "cli/text_table.h"
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

// The whole file, or nothing when it cannot be opened or a read fails (a folder, for one).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (file == nullptr) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

int Inspect(const std::string& path, CliEnvironment& environment) {
  std::optional<std::vector<std::uint8_t>> read = ReadWholeFile(path);
  if (!read) {
    environment.err << "pellar-cli: " << path << ": cannot be read\n";
    return kExitFailed;
  }
  const std::vector<std::uint8_t>& bytes = *read;
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
