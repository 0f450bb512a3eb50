#include "platform/win32/hosted_plugin_loader.h"

#include <windows.h>

#include "platform/win32/directory_lister.h"
#include "platform/win32/host_process.h"
#include "platform/win32/plugin_loader.h"
#include "platform/win32/wide_text.h"
#include "plugins/pe_exports.h"
#include "plugins/probe_protocol.h"

namespace pakvane {

namespace {

// The system error that stands for a failure that has no error of its own.
DWORD ErrorFor(PluginFailure failure)
{
    switch (failure) {
    case PluginFailure::Crashed:
        return ERROR_DLL_INIT_FAILED;
    case PluginFailure::Hung:
        return ERROR_TIMEOUT;
    case PluginFailure::BadAnswer:
        return ERROR_INVALID_DATA;
    default:
        return ERROR_BAD_EXE_FORMAT;
    }
}

// What became of a host that gave no believable answer.
PluginFailure FailureOf(const HostAnswer& answer)
{
    switch (answer.end) {
    case HostAnswer::End::TimedOut:
        return PluginFailure::Hung;
    case HostAnswer::End::Line:
    case HostAnswer::End::TooLong:
        return PluginFailure::BadAnswer;
    case HostAnswer::End::Exited:
        break;
    }
    // A host that ended without a word, or with any code but its own, went down with the plugin.
    return answer.exitCode != kHostAnswered || answer.line.empty() ? PluginFailure::Crashed : PluginFailure::BadAnswer;
}

// Window handles keep their 32 significant bits in processes of either bitness.
std::uint32_t WindowValue(ParentWindow parent)
{
    return static_cast<std::uint32_t>(parent);
}

// The owner of a plugin's configuration window, disabled as a modal window's owner is, and
// given back the activation afterwards.
class DisabledOwner {
public:
    explicit DisabledOwner(ParentWindow parent)
        : owner_(reinterpret_cast<HWND>(parent)),
          disabled_(owner_ && IsWindow(owner_) && !EnableWindow(owner_, FALSE))
    {
    }
    ~DisabledOwner()
    {
        if (!disabled_ || !IsWindow(owner_)) return;
        EnableWindow(owner_, TRUE);
        SetForegroundWindow(owner_);
        SetActiveWindow(owner_);
    }
    DisabledOwner(const DisabledOwner&) = delete;
    DisabledOwner& operator=(const DisabledOwner&) = delete;

private:
    HWND owner_;
    bool disabled_;
};

}  // namespace

ProbeHosts ProbeHosts::BesideProgram()
{
    const std::wstring program = ExecutablePathWide();
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    return ProbeHosts{folder + L"pakvane-host32.exe", folder + L"pakvane-host64.exe"};
}

HostedPluginLoader::HostedPluginLoader(ProbeHosts hosts, std::uint32_t configureWithoutWindowMs)
    : hosts_(std::move(hosts)),
      configureWithoutWindowMs_(configureWithoutWindowMs)
{
}

HostedPluginLoader::~HostedPluginLoader() = default;

void HostedPluginLoader::EndIdleHosts()
{
    slot32_.idle.reset();
    slot64_.idle.reset();
}

const std::wstring* HostedPluginLoader::HostFor(std::uint16_t machine) const
{
    if (machine == kMachineI386) return &hosts_.host32;
    if (machine == kMachineAmd64) return &hosts_.host64;
    return nullptr;
}

HostedPluginLoader::Slot& HostedPluginLoader::SlotFor(std::uint16_t machine) const
{
    return machine == kMachineI386 ? slot32_ : slot64_;
}

std::unique_ptr<HostProcess> HostedPluginLoader::StartReady(std::uint16_t machine, const HostRequest& request,
                                                            bool modal) const
{
    auto host = std::make_unique<HostProcess>(*HostFor(machine), request);
    if (!host->Started()) return nullptr;
    const HostAnswer ready = host->NextLine(HostWait{kHostReadyTimeoutMs, modal});
    if (ready.end != HostAnswer::End::Line || ParseReadyAnswer(ready.line) != machine) return nullptr;
    return host;
}

bool HostedPluginLoader::CanLoad(std::uint16_t peMachine) const
{
    if (!HostFor(peMachine)) return false;
    Slot& slot = SlotFor(peMachine);
    if (!slot.runs) {
        // The host started to find out is kept for the first probe.
        slot.idle = StartReady(peMachine, HostRequest{HostRequestKind::Probe, 0, 0}, false);
        slot.runs = slot.idle != nullptr;
    }
    return *slot.runs;
}

HostedPluginLoader::Target HostedPluginLoader::Choose(const std::string& path)
{
    Target target;
    // A name the system searches for, or a file we cannot open: the system decides, in a host
    // of our own bitness, as it would have in this process.
    std::unique_ptr<FileReader> file;
    if (IsFullPluginPath(path)) file = Win32DirectoryLister().OpenFile(path);
    if (!file) {
        target.hostMachine = kProgramMachine;
    } else if (const std::optional<std::uint16_t> machine = ReadPeMachine(*file)) {
        target.machine = target.hostMachine = *machine;
    } else {
        target.failure = PluginFailure::NotALibrary;
        return target;
    }
    if (!HostFor(target.hostMachine)) {
        target.failure = PluginFailure::OtherMachine;
    } else if (!CanLoad(target.hostMachine)) {
        target.failure = PluginFailure::NoHost;
    }
    return target;
}

std::optional<PluginProbeResult> HostedPluginLoader::ProbeIn(std::uint16_t machine, const std::string& path,
                                                             PluginFailure& failure, bool& reused)
{
    Slot& slot = SlotFor(machine);
    std::unique_ptr<HostProcess> host = std::move(slot.idle);
    reused = host && host->Idle();
    if (!reused) {
        host = StartReady(machine, HostRequest{HostRequestKind::Probe, 0, 0}, false);
        if (!host) {
            failure = PluginFailure::NoHost;
            return std::nullopt;
        }
    }
    host->SendPath(path);
    const HostAnswer answer = host->NextLine(HostWait{kProbeAnswerTimeoutMs, false});
    std::optional<PluginProbeResult> result =
        answer.end == HostAnswer::End::Line ? ParseProbeAnswer(answer.line) : std::nullopt;
    if (!result) {
        failure = FailureOf(answer);
        host->Terminate();
        return std::nullopt;
    }
    slot.idle = std::move(host);
    return result;
}

PluginProbeResult HostedPluginLoader::Probe(const std::string& path)
{
    const Target target = Choose(path);
    PluginProbeResult result;
    result.failure = target.failure;
    if (target.failure == PluginFailure::None) {
        bool reused = false;
        std::optional<PluginProbeResult> answered = ProbeIn(target.hostMachine, path, result.failure, reused);
        // What a plugin probed earlier left behind in that host may have brought it down.
        if (!answered && reused) answered = ProbeIn(target.hostMachine, path, result.failure, reused);
        if (answered) result = *answered;
    }
    if (result.failure != PluginFailure::None) result.loadError = ErrorFor(result.failure);
    result.machine = target.machine;
    return result;
}

PluginConfigureResult HostedPluginLoader::Configure(const std::string& path, ParentWindow parent)
{
    const Target target = Choose(path);
    PluginConfigureResult result;
    result.machine = target.machine;
    result.failure = target.failure;
    HostAnswer answer, end;
    if (target.failure == PluginFailure::None) {
        const DisabledOwner owner(parent);
        const HostRequest request{HostRequestKind::Configure, 0, WindowValue(parent)};
        const std::unique_ptr<HostProcess> host = StartReady(target.hostMachine, request, true);
        if (!host) {
            result.failure = PluginFailure::NoHost;
        } else {
            host->SendPath(path);
            // Loading has a deadline; the plugin's configuration window, once open, has none.
            answer = host->NextLine(HostWait{kProbeAnswerTimeoutMs, true});
            end = answer.end == HostAnswer::End::Line
                      ? host->WaitForExit(HostWait{INFINITE, true, configureWithoutWindowMs_})
                      : answer;
        }
    }
    const std::optional<PluginConfigureResult> answered =
        answer.end == HostAnswer::End::Line ? ParseConfigureAnswer(answer.line) : std::nullopt;
    if (answered) {
        result = *answered;
        result.machine = target.machine;
        // The answer came before ConfigurePacker was called: a crash or hang after it is the
        // plugin's configuration going wrong, not a library that did not load.
        if (end.end == HostAnswer::End::TimedOut) {
            result.failure = PluginFailure::Hung;
        } else if (end.end != HostAnswer::End::Exited || end.exitCode != kHostAnswered) {
            result.failure = PluginFailure::Crashed;
        }
    } else if (result.failure == PluginFailure::None) {
        result.failure = FailureOf(answer);
    }
    if (!result.loaded && result.failure != PluginFailure::None) result.loadError = ErrorFor(result.failure);
    return result;
}

}  // namespace pakvane
