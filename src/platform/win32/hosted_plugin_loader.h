#pragma once
#include <cstdint>
#include <memory>
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
// A host's first answer, that it is ready; the first start of a process of the other bitness
// can be slow under an emulator.
inline constexpr std::uint32_t kHostReadyTimeoutMs = 15000;
// A plugin's configuration that shows no window of its own for this long, and has not
// returned, is taken as hung: its host is ended and the dialog given back to the user.
inline constexpr std::uint32_t kConfigureWithoutWindowMs = 10000;

class HostProcess;
struct HostRequest;

// Loads every library in a probe host of the library's bitness (read from its PE header
// without running it). The plugin's code never runs in this process: a plugin that crashes
// or hangs costs its own host only. A probe host serves one probe after another, as this
// process did, each library loaded and released again; when a host that served earlier
// probes fails, the probe is made once more in a fresh host, whose verdict stands. Each
// configuration has a host of its own.
class HostedPluginLoader final : public PluginLoader {
public:
    explicit HostedPluginLoader(ProbeHosts hosts = ProbeHosts::BesideProgram(),
                                std::uint32_t configureWithoutWindowMs = kConfigureWithoutWindowMs);
    ~HostedPluginLoader() override;
    HostedPluginLoader(const HostedPluginLoader&) = delete;
    HostedPluginLoader& operator=(const HostedPluginLoader&) = delete;

    PluginProbeResult Probe(const std::string& path) override;
    // The parent window is disabled while the host runs and its messages are dispatched, as a
    // modal window's owner; afterwards it is enabled and activated again. No time limit while
    // the plugin shows a window; one that shows none for configureWithoutWindowMs is hung.
    PluginConfigureResult Configure(const std::string& path, ParentWindow parent) override;
    // Starts the machine's host once to see whether it runs here, and remembers the answer.
    bool CanLoad(std::uint16_t peMachine) const override;
    // Ends the waiting probe hosts (the next probe starts fresh ones).
    void EndIdleHosts();

private:
    struct Target {
        std::uint16_t machine = 0;  // 0: not read; the library goes to the host of our own bitness
        std::uint16_t hostMachine = 0;
        PluginFailure failure = PluginFailure::None;
    };
    Target Choose(const std::string& path);
    const std::wstring* HostFor(std::uint16_t machine) const;
    // One probe in the machine's waiting host or in a new one; nullopt when the host did not
    // answer, with the reason in failure, and whether that host had served before.
    std::optional<PluginProbeResult> ProbeIn(std::uint16_t machine, const std::string& path, PluginFailure& failure,
                                             bool& reused);
    // A started host of the machine that has said it is ready, or nullptr.
    std::unique_ptr<HostProcess> StartReady(std::uint16_t machine, const HostRequest& request, bool modal) const;
    struct Slot {
        std::optional<bool> runs;
        std::unique_ptr<HostProcess> idle;  // a probe host waiting for the next path
    };
    Slot& SlotFor(std::uint16_t machine) const;

    ProbeHosts hosts_;
    std::uint32_t configureWithoutWindowMs_;
    mutable Slot slot32_, slot64_;
};

}  // namespace pakvane
