// pakvane-host32.exe and pakvane-host64.exe: load plugin libraries for the program, in a
// process of the libraries' own bitness, so that a plugin's code can neither crash nor hang
// the program (the program ends a host that does not answer in time). What is said is
// described in plugins/probe_protocol.h.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/plugin_loader.h"
#include "plugins/pe_exports.h"
#include "plugins/probe_protocol.h"

namespace {

using namespace pakvane;

// A crash in the plugin ends the host at once with the exception's code (the program reads
// any exit code but 0 as a crash). No error window is shown: nobody would be there to close it.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception)
{
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Appends what arrives next on the input; false when it has ended.
bool ReadMore(HANDLE input, std::string& pending)
{
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0) return false;
    pending.append(buffer, got);
    return true;
}

bool WriteAnswer(HANDLE pipe, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteFile(pipe, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr)) {
            return false;
        }
        done += written;
    }
    return true;
}

// The handle values travel as 32-bit numbers: handles and window handles are valid as such
// in processes of either bitness.
HANDLE HandleFrom(std::uint32_t value)
{
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

ParentWindow WindowFrom(std::uint32_t value)
{
    return static_cast<ParentWindow>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

int Serve(const std::vector<std::string>& arguments)
{
    const std::optional<HostRequest> request = ParseHostArguments(arguments);
    if (!request) return static_cast<int>(kHostBadRequest);
    const HANDLE answer = HandleFrom(request->answerHandle);
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    // The pipes are the program's and this host's only: not for processes a plugin starts.
    SetHandleInformation(answer, HANDLE_FLAG_INHERIT, 0);
    if (input) SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
    // The system libraries that nearly every plugin uses stay loaded here, as they are in the
    // program: releasing a plugin then does not unload them, and the next probe is quick.
    for (const wchar_t* library : {L"user32.dll", L"gdi32.dll", L"advapi32.dll"}) {
        LoadLibraryW(library);
    }
    if (!WriteAnswer(answer, FormatReadyAnswer(kProgramMachine))) return static_cast<int>(kHostBadRequest);
    InProcessPluginLoader loader;
    std::string pending;
    for (;;) {
        const PathFrame frame = ReadPathFrame(pending);
        if (frame.state == FrameState::Malformed) return static_cast<int>(kHostBadRequest);
        if (frame.state == FrameState::Incomplete) {
            if (ReadMore(input, pending)) continue;
            // The program has closed our input: done, unless it stopped in the middle of a path.
            return pending.empty() ? static_cast<int>(kHostAnswered) : static_cast<int>(kHostBadRequest);
        }
        pending.erase(0, frame.used);
        if (request->kind == HostRequestKind::Configure) {
            bool answered = false;
            loader.Configure(frame.path, WindowFrom(request->parent), [&](const PluginConfigureResult& result) {
                answered = WriteAnswer(answer, FormatConfigureAnswer(result));
            });
            return answered ? static_cast<int>(kHostAnswered) : static_cast<int>(kHostBadRequest);
        }
        if (!WriteAnswer(answer, FormatProbeAnswer(loader.Probe(frame.path)))) return static_cast<int>(kHostBadRequest);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    try {
        return Serve(arguments);
    } catch (...) {
        return static_cast<int>(kHostBadRequest);
    }
}
