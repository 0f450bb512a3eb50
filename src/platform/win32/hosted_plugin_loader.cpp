#include "platform/win32/hosted_plugin_loader.h"

#include <windows.h>

#include <memory>

#include "platform/win32/directory_lister.h"
#include "platform/win32/host_process.h"
#include "platform/win32/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/probe_protocol.h"

namespace pakvane {

namespace {

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

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

// What became of a host that did not give a believable answer.
PluginFailure FailureOf(const HostRun& run)
{
    switch (run.end) {
    case HostRun::End::NotStarted:
        return PluginFailure::NoHost;
    case HostRun::End::TimedOut:
        return PluginFailure::Hung;
    case HostRun::End::TooLong:
        return PluginFailure::BadAnswer;
    case HostRun::End::Exited:
        break;
    }
    // A host that ended without a word, or with any code but its own, went down with the plugin.
    return run.exitCode != kHostAnswered || run.answer.empty() ? PluginFailure::Crashed : PluginFailure::BadAnswer;
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
    const std::wstring folder = ProgramFolder();
    return ProbeHosts{folder + L"pakvane-host32.exe", folder + L"pakvane-host64.exe"};
}

HostedPluginLoader::HostedPluginLoader(ProbeHosts hosts) : hosts_(std::move(hosts)) {}

const std::wstring* HostedPluginLoader::HostFor(std::uint16_t machine) const
{
    if (machine == kMachineI386) return &hosts_.host32;
    if (machine == kMachineAmd64) return &hosts_.host64;
    return nullptr;
}

bool HostedPluginLoader::CanLoad(std::uint16_t peMachine) const
{
    const std::wstring* host = HostFor(peMachine);
    if (!host) return false;
    std::optional<bool>& runs = peMachine == kMachineI386 ? runs32_ : runs64_;
    if (!runs) {
        const HostRun run = RunHost(*host, HostRequest{HostRequestKind::Ready, 0, 0}, "",
                                    HostWait{kHostReadyTimeoutMs, false, false});
        runs = run.end == HostRun::End::Exited && run.exitCode == kHostAnswered &&
               ParseReadyAnswer(run.answer) == peMachine;
    }
    return *runs;
}

HostedPluginLoader::Target HostedPluginLoader::Choose(const std::string& path)
{
    Target target;
    // A name the system searches for, or a file we cannot open: the system decides, in a host
    // of our own bitness, as it would have in this process.
    std::unique_ptr<FileReader> file;
    if (IsFullPluginPath(path)) file = Win32DirectoryLister().OpenFile(path);
    if (!file) {
        target.host = HostFor(kProgramMachine);
        if (!CanLoad(kProgramMachine)) target.failure = PluginFailure::NoHost;
        return target;
    }
    const std::optional<std::uint16_t> machine = ReadPeMachine(*file);
    if (!machine) {
        target.failure = PluginFailure::NotALibrary;
        return target;
    }
    target.machine = *machine;
    target.host = HostFor(*machine);
    if (!target.host) {
        target.failure = PluginFailure::OtherMachine;
    } else if (!CanLoad(*machine)) {
        target.failure = PluginFailure::NoHost;
    }
    return target;
}

PluginProbeResult HostedPluginLoader::Probe(const std::string& path)
{
    const Target target = Choose(path);
    PluginProbeResult result;
    if (target.failure == PluginFailure::None) {
        const HostRun run = RunHost(*target.host, HostRequest{HostRequestKind::Probe, 0, 0}, path,
                                    HostWait{kProbeAnswerTimeoutMs, false, false});
        const std::optional<PluginProbeResult> answered =
            run.end == HostRun::End::Exited && run.exitCode == kHostAnswered ? ParseProbeAnswer(run.answer)
                                                                             : std::nullopt;
        if (answered) {
            result = *answered;
        } else {
            result.failure = FailureOf(run);
            const std::uint16_t hostMachine = target.machine ? target.machine : kProgramMachine;
            if (result.failure == PluginFailure::NoHost) (hostMachine == kMachineI386 ? runs32_ : runs64_) = false;
        }
    } else {
        result.failure = target.failure;
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
    if (target.failure != PluginFailure::None) {
        result.failure = target.failure;
        result.loadError = ErrorFor(result.failure);
        return result;
    }
    HostRun run;
    {
        const DisabledOwner owner(parent);
        run = RunHost(*target.host, HostRequest{HostRequestKind::Configure, 0, WindowValue(parent)}, path,
                      HostWait{kProbeAnswerTimeoutMs, true, true});
    }
    const std::optional<PluginConfigureResult> answered =
        run.end == HostRun::End::Exited ? ParseConfigureAnswer(run.answer) : std::nullopt;
    if (answered) {
        result = *answered;
        result.machine = target.machine;
        // The answer came before ConfigurePacker was called: a crash after it is the plugin's
        // configuration crashing, not a library that did not load.
        if (run.exitCode != kHostAnswered) result.failure = PluginFailure::Crashed;
    } else {
        result.failure = FailureOf(run);
        result.loadError = ErrorFor(result.failure);
    }
    return result;
}

}  // namespace pakvane
