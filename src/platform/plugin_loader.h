#pragma once
// Loading a plugin library for the length of one operation. Callers do not know how the
// library is loaded (in this process, or in a helper process of the library's bitness);
// the answers are the same either way.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pakvane {

// The exports of Total Commander's packer interface that every plugin must have, in the
// order they are looked up (exact, case-sensitive names).
inline constexpr std::array<std::string_view, 6> kRequiredPackerExports = {
    "OpenArchive", "ReadHeader", "ProcessFile", "CloseArchive", "SetChangeVolProc", "SetProcessDataProc"};
inline constexpr std::string_view kGetPackerCapsExport = "GetPackerCaps";
inline constexpr std::string_view kConfigurePackerExport = "ConfigurePacker";

// Why a library could not be probed or configured beyond the system's own load error: the
// ways a library can fail when it is run in a helper process.
enum class PluginFailure : std::uint8_t {
    None,
    NotALibrary,  // the file is no Windows library (no PE image header)
    OtherMachine,  // a library for a processor that no host runs (ARM64, ...)
    NoHost,  // the host for the library's machine is missing or cannot run on this system
    Crashed,  // the host died while the plugin's code ran
    Hung,  // no answer in time; the host was ended
    BadAnswer,  // the host's answer was not one the protocol allows
};

struct PluginProbeResult {
    bool loaded = false;
    std::uint32_t loadError = 0;  // the system's error code when the library did not load
    bool exportsComplete = false;  // every required export was found
    std::string missingExport;  // the first required export that was not found
    bool hasPackerCaps = false;
    std::int32_t flags = 0;  // GetPackerCaps' result, exactly as returned; 0 without it
    PluginFailure failure = PluginFailure::None;  // not loaded, or no answer, for this reason
    std::uint16_t machine = 0;  // the library's machine type where it was read; 0 otherwise
    bool operator==(const PluginProbeResult&) const = default;
};

struct PluginConfigureResult {
    bool loaded = false;
    std::uint32_t loadError = 0;
    bool hasConfigurePacker = false;  // it existed and was called (and has returned, unless failure)
    PluginFailure failure = PluginFailure::None;
    std::uint16_t machine = 0;
    bool operator==(const PluginConfigureResult&) const = default;
};

// A window handle's value, so that it can travel to another process as well.
using ParentWindow = std::uintptr_t;

class PluginLoader {
public:
    virtual ~PluginLoader() = default;
    // Loads the library (the path goes to the system unchanged), looks the required exports
    // up in table order until the first missing one, calls GetPackerCaps only when all were
    // found, and releases the library on every path.
    virtual PluginProbeResult Probe(const std::string& path) = 0;
    // Loads the library, calls ConfigurePacker(parent, module) when it exists and waits for
    // it to return, then releases the library.
    virtual PluginConfigureResult Configure(const std::string& path, ParentWindow parent) = 0;
    // True when a library for this machine type (a PE header's Machine field) can be probed
    // at all on this system.
    virtual bool CanLoad(std::uint16_t peMachine) const = 0;
};

}  // namespace pakvane
