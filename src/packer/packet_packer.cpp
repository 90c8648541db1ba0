#include "packer/packet_packer.h"

#include <optional>
#include <span>

#include "packer/component_file.h"
#include "packer/file_replacement.h"
#include "packer/working_buffer.h"

namespace pellar {
namespace {

// Header, records and the components' sizes, or nothing when a component cannot be opened.
// Measured before any byte is read, so that an oversized set is refused at once.
std::optional<std::uint64_t> PacketSize(const ComponentPaths& paths) {
  std::uint64_t total = kPacketHeaderSize;
  for (const std::string& path : paths) {
    if (path.empty()) continue;
    std::optional<std::uint64_t> size = ComponentFileSize(path);
    if (!size) return std::nullopt;
    total += kPacketRecordSize + *size;
  }
  return total;
}

// Fills the buffer with the header and, in file order, each record and its data. Returns the
// file's length, or the failure.
PackOutcome Assemble(const ComponentPaths& paths, std::span<std::uint8_t> buffer,
                     std::size_t* file_length) {
  StoreHeader(PacketHeader{kPacketMagic, static_cast<std::uint32_t>(CountComponents(paths))},
              buffer.data());
  std::size_t position = kPacketHeaderSize;
  for (const ComponentKindInfo& info : kComponentKinds) {
    const std::string& path = paths[KindIndex(info.kind)];
    if (path.empty()) continue;
    std::size_t data_at = position + kPacketRecordSize;
    std::int32_t size = ReadComponentFile(buffer, static_cast<std::int32_t>(data_at), path);
    if (size == kComponentTooLarge) return PackOutcome::kTooLarge;
    if (size < 0) return PackOutcome::kComponentUnusable;
    // The first record names where its data begin, every later one where it stands itself.
    std::size_t offset = position == kPacketHeaderSize ? data_at : position;
    StoreRecord(PacketRecord{info.type, static_cast<std::uint32_t>(offset),
                             static_cast<std::uint32_t>(size)},
                buffer.data() + position);
    position = data_at + static_cast<std::size_t>(size);
  }
  *file_length = position;
  return PackOutcome::kPacked;
}

PackOutcome Pack(const ComponentPaths& paths, const std::string& output_path) {
  if (CountComponents(paths) == 0) return PackOutcome::kNoComponents;
  std::optional<std::uint64_t> size = PacketSize(paths);
  if (!size) return PackOutcome::kComponentUnusable;
  if (*size > kPacketCapacity) return PackOutcome::kTooLarge;

  // Left uncleared: every byte of the file is set by the packing.
  WorkingBuffer buffer(kPacketCapacity);
  std::span<std::uint8_t> working = buffer.bytes();
  if (working.empty()) return PackOutcome::kNoMemory;
  std::size_t file_length = 0;
  PackOutcome outcome = Assemble(paths, working, &file_length);
  if (outcome != PackOutcome::kPacked) return outcome;
  if (!ReplaceFileContents(output_path, working.first(file_length))) return PackOutcome::kWriteFailed;
  return PackOutcome::kPacked;
}

}  // namespace

std::string PackMessage(PackOutcome outcome, const std::string& output_path) {
  switch (outcome) {
    case PackOutcome::kPacked:
      if (output_path == kDefaultPacketPath) return "文件组包packet.bin成功，文件在当前目录!";
      return "文件组包" + output_path + "成功!";
    case PackOutcome::kNoComponents:
      return "文件名不可以全部为空!";
    case PackOutcome::kComponentUnusable:
      return "打开文件失败!";
    case PackOutcome::kTooLarge:
      return "文件总大小超过10MB!";
    case PackOutcome::kNoMemory:
      return "内存不足!";
    case PackOutcome::kWriteFailed:
      return "写入文件失败!";
  }
  return {};
}

int CountComponents(const ComponentPaths& paths) {
  int count = 0;
  for (const std::string& path : paths)
    if (!path.empty()) ++count;
  return count;
}

PackOutcome OnPack(const ComponentPaths& paths, Operator& ui, const std::string& output_path) {
  PackOutcome outcome = Pack(paths, output_path);
  ui.ShowMessage(PackMessage(outcome, output_path));
  return outcome;
}

}  // namespace pellar
