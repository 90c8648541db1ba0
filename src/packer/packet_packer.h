#pragma once

#include <array>
#include <string>

#include "device/operator.h"
#include "packer/packet_format.h"

namespace pellar {

// One path per component kind, indexed by KindIndex; empty when no file was chosen for it. Paths
// are UTF-8, as the system names files.
using ComponentPaths = std::array<std::string, kComponentKindCount>;

// Where the packing writes unless told otherwise: the current working directory.
inline constexpr const char* kDefaultPacketPath = "packet.bin";

// How a packing ended; each ending has one message.
enum class PackOutcome {
  kPacked,
  kNoComponents,       // every path empty
  kComponentUnusable,  // a component cannot be opened, or yields fewer bytes than its size
  kTooLarge,           // header, records and components exceed the working buffer
  kNoMemory,           // the working buffer cannot be obtained
  kWriteFailed,        // the packet file cannot be created, written, closed or put in place
};

// The message shown for an outcome. The success text names the default file; another output path
// is named in it instead, so that it never points the operator at the wrong file.
std::string PackMessage(PackOutcome outcome, const std::string& output_path = kDefaultPacketPath);

// The number of non-empty paths, 0 to 8.
int CountComponents(const ComponentPaths& paths);

// Packs the chosen components, in file order, into the packet file at `output_path` and shows
// exactly one message. On any failure an existing file is left exactly as it was. Sizes are checked
// before any component is read.
PackOutcome OnPack(const ComponentPaths& paths, Operator& ui,
                   const std::string& output_path = kDefaultPacketPath);

}  // namespace pellar
