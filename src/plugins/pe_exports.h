#pragma once
// The export names of a Windows library, read from the file without loading it: a library
// that cannot be a packer plugin for this program is never given the chance to run its
// start-up code in our process. Only the headers and the sections that hold the export
// names are read.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pakvane {

class FileReader;

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;
inline constexpr std::uint16_t kMachineArm64 = 0xAA64;
// The machine type of the running program's own code.
inline constexpr std::uint16_t kProgramMachine = sizeof(void*) == 8 ? kMachineAmd64 : kMachineI386;

struct PeExports {
    std::uint16_t machine = 0;
    std::vector<std::string> names;  // the export names as the file holds them
};

// nullopt for anything that is not a well-formed PE image as far as this reader looks: a
// truncated or malformed header, section table, directory or name table, or a section the
// file does not hold whole. Never reads outside the file.
std::optional<PeExports> ReadPeExports(FileReader& file);
std::optional<PeExports> ReadPeExports(std::string_view image);

// The machine type in a PE image's file header, or nullopt when the file has no PE header.
// Reads the two headers' first bytes only.
std::optional<std::uint16_t> ReadPeMachine(FileReader& file);
std::optional<std::uint16_t> ReadPeMachine(std::string_view image);

// The machine type of a library that exports every required packer function (exact names),
// whatever machine that is; nullopt for anything else.
// Only a library whose machine a probe host can run is worth loading.
std::optional<std::uint16_t> PackerPluginMachine(FileReader& file);
std::optional<std::uint16_t> PackerPluginMachine(std::string_view image);

}  // namespace pakvane
