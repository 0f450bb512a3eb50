// A probe host that lies, for the loader's tests: it reads the request like the real one and
// says it is ready, then answers the first path as PAKVANE_FAKE_HOST says and ends. It lands
// beside the test programs in bin/.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "plugins/pe_exports.h"
#include "plugins/probe_protocol.h"

namespace {

using namespace pakvane;

void Write(HANDLE pipe, const std::string& text)
{
    DWORD written = 0;
    for (std::size_t done = 0; done < text.size(); done += written) {
        if (!WriteFile(pipe, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr)) return;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    const std::optional<HostRequest> request = ParseHostArguments(arguments);
    if (!request) return static_cast<int>(kHostBadRequest);
    const HANDLE answer = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(request->answerHandle));
    const char* mode = std::getenv("PAKVANE_FAKE_HOST");
    const std::string lie = mode ? mode : "";
    Write(answer, FormatReadyAnswer(lie == "wrong machine" ? kMachineArm64 : kProgramMachine));
    std::string input;
    char buffer[512];
    DWORD got = 0;
    while (ReadPathFrame(input).state == FrameState::Incomplete &&
           ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        input.append(buffer, got);
    }
    const std::string honest = FormatProbeAnswer(PluginProbeResult{true, 0, true, "", true, 7});
    if (lie == "garbage") {
        Write(answer, "\x89PNG\r\n\x1a\n");
    } else if (lie == "truncated") {
        Write(answer, honest.substr(0, honest.size() / 2));
    } else if (lie == "oversized") {
        Write(answer, std::string(1 << 20, 'A'));  // blocks on the full pipe until ended
    } else if (lie == "wrong version") {
        Write(answer, "PAKVANE-HOST 9" + honest.substr(14));
    } else if (lie != "silent") {
        Write(answer, honest);
    }
    return 0;
}
