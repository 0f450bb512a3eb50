// A stand-in for a running Total Commander: a hidden top-level window of its main window
// class that records the notification messages it receives.
//   pakvane_fake_commander.exe LOG [--stall-until EVENT]
// LOG is emptied at start; every message 1075 (WM_USER + 51) and 15 (WM_PAINT) then adds
// the line "<message> <wParam> <lParam>", written before the message returns, so a sender
// can read it as soon as its SendMessage is back. --stall-until makes the handler of 1075
// wait first until the named event is set (a minute at most), like a busy commander.
// WM_CLOSE ends the program.
// The window stays hidden, so the system never sends it paint messages of its own.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT kReloadMessage = WM_USER + 51;

std::string g_logPath;
HANDLE g_stallUntil = nullptr;

void AppendLine(UINT message, WPARAM wParam, LPARAM lParam)
{
    char line[64];
    std::snprintf(line, sizeof line, "%u %lu %ld\n", message, static_cast<unsigned long>(wParam),
                  static_cast<long>(lParam));
    const HANDLE file = CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kReloadMessage:
        if (g_stallUntil) WaitForSingleObject(g_stallUntil, 60'000);
        AppendLine(message, wParam, lParam);
        return 0;
    case WM_PAINT:
        AppendLine(message, wParam, lParam);
        ValidateRect(window, nullptr);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 2) return 2;
    g_logPath = __argv[1];
    for (int i = 2; i + 1 < __argc; i += 2)
        if (std::strcmp(__argv[i], "--stall-until") == 0) g_stallUntil = OpenEventA(SYNCHRONIZE, FALSE, __argv[i + 1]);

    const HANDLE log = CreateFileA(g_logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 3;
    CloseHandle(log);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TTOTAL_CMD";
    if (!RegisterClassA(&windowClass)) return 4;
    if (!CreateWindowExA(0, "TTOTAL_CMD", "Total Commander (fake)", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         400, 300, nullptr, nullptr, instance, nullptr))
        return 5;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
