#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/plugin_loader.h"

namespace pakvane {

// The two probe hosts' files.
struct ProbeHosts {
    std::wstring host32;  // pakvane-host32.exe: i386 libraries
    std::wstring host64;  // pakvane-host64.exe: AMD64 libraries
    // Both beside the running program, where they ship.
    static ProbeHosts BesideProgram();
};

// A probe waits this long for the host's answer (and a configuration until the library is
// loaded); a host that takes longer is ended and the plugin reported as hung.
inline constexpr std::uint32_t kProbeAnswerTimeoutMs = 5000;
// Whether a host can run at all is asked once; the first start of a process of the other
// bitness can be slow under an emulator.
inline constexpr std::uint32_t kHostReadyTimeoutMs = 15000;

// Loads every library in a probe host of the library's bitness (read from its PE header
// without running it), one host process per operation. The plugin's code never runs in this
// process: a plugin that crashes or hangs costs its own host only.
class HostedPluginLoader final : public PluginLoader {
public:
    explicit HostedPluginLoader(ProbeHosts hosts = ProbeHosts::BesideProgram());

    PluginProbeResult Probe(const std::string& path) override;
    // The parent window is disabled while the host runs and its messages are dispatched, as a
    // modal window's owner; afterwards it is enabled and activated again.
    PluginConfigureResult Configure(const std::string& path, ParentWindow parent) override;
    // Starts the machine's host once to see whether it runs here, and remembers the answer.
    bool CanLoad(std::uint16_t peMachine) const override;

private:
    struct Target {
        std::uint16_t machine = 0;  // 0: not read; the library goes to the host of our own bitness
        const std::wstring* host = nullptr;
        PluginFailure failure = PluginFailure::None;
    };
    Target Choose(const std::string& path);
    const std::wstring* HostFor(std::uint16_t machine) const;

    ProbeHosts hosts_;
    mutable std::optional<bool> runs32_, runs64_;
};

}  // namespace pakvane
