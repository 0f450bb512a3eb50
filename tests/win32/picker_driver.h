#pragma once
// Drives the shell's folder browser of the test thread from a second thread, as a user
// would: waits for it, notes what it shows, presses a button.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace pakvane::testing {

inline constexpr int kTreeId = 0x3741;
inline constexpr int kTitleId = 0x3742;

inline BOOL CALLBACK MatchBrowser(HWND hwnd, LPARAM out)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, kTreeId)) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

inline std::wstring TextOf(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

inline std::wstring SelectedItem(HWND browser)
{
    const HWND tree = GetDlgItem(browser, kTreeId);
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (item.hItem) SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

// What the driver saw while the browser was open.
struct Sighting {
    bool found = false;
    RECT rect{};
    std::wstring caption, title, selected;
    bool ownerEnabled = true, okEnabled = true;
};

// On its own thread while the test thread is inside Execute: waits for the browser, then
// until ready(browser) holds (or the deadline), records what it sees and presses the button
// when it is enabled. The browser is closed whatever happens, so Execute returns.
class PickerDriver {
public:
    PickerDriver(HWND owner, int button, std::function<bool(HWND)> ready = nullptr)
        : thread_(GetCurrentThreadId()),
          owner_(owner),
          button_(button),
          ready_(std::move(ready)),
          worker_([this] { Run(); })
    {
    }
    ~PickerDriver() { Join(); }
    Sighting Join()
    {
        if (worker_.joinable()) worker_.join();
        return seen_;
    }

private:
    void Run()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        const auto waitFor = [&](auto condition) {
            while (!condition() && std::chrono::steady_clock::now() < deadline) Sleep(20);
        };
        HWND browser = nullptr;
        waitFor([&] { return EnumThreadWindows(thread_, &MatchBrowser, reinterpret_cast<LPARAM>(&browser)), browser; });
        if (!browser) return;
        if (ready_) waitFor([&] { return ready_(browser); });
        seen_ = {true,
                 {},
                 TextOf(browser),
                 TextOf(GetDlgItem(browser, kTitleId)),
                 SelectedItem(browser),
                 IsWindowEnabled(owner_) != FALSE,
                 IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE};
        GetWindowRect(browser, &seen_.rect);
        int button = IsWindowEnabled(GetDlgItem(browser, button_)) ? button_ : IDCANCEL;
        waitFor([&] {
            PostMessageW(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            button = IDCANCEL;
            Sleep(50);
            return !IsWindow(browser);
        });
    }

    DWORD thread_;
    HWND owner_;
    int button_;
    std::function<bool(HWND)> ready_;
    Sighting seen_;
    std::thread worker_;
};

}  // namespace pakvane::testing
