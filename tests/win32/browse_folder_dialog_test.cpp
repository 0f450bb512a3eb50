// The folder picker, driven in-process: a second thread finds the shell's browser window
// of the test thread, looks at it and presses a button, as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/browse_folder_dialog.h"
#include "app/ui/ui_text.h"
#include "i18n/interface_strings.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

constexpr int kTreeId = 0x3741;
constexpr int kTitleId = 0x3742;

BOOL CALLBACK MatchBrowser(HWND hwnd, LPARAM out)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, kTreeId)) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

std::wstring SelectedItem(HWND browser)
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
class Driver {
public:
    Driver(HWND owner, int button, std::function<bool(HWND)> ready = nullptr)
        : thread_(GetCurrentThreadId()), owner_(owner), button_(button), ready_(std::move(ready)),
          worker_([this] { Run(); }) {}
    ~Driver() { Join(); }
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
        seen_ = {true, {}, TextOf(browser), TextOf(GetDlgItem(browser, kTitleId)), SelectedItem(browser),
                 IsWindowEnabled(owner_) != FALSE, IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE};
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

class BrowseFolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        target = testing::MakeScratchFolder("pvpick") + "Target";
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        // Wine's item ids carry a folder's last-access time: read each folder of the path
        // once, so that the browser finds them as they now are.
        for (std::string folder = target; folder.size() > 3; folder.resize(folder.find_last_of('\\'))) {
            WIN32_FIND_DATAA found;
            const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
            while (search != INVALID_HANDLE_VALUE && FindNextFileA(search, &found)) {}
            if (search != INVALID_HANDLE_VALUE) FindClose(search);
        }
        strings.FillBuiltIn();
        SetActiveWindow(owner);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        DestroyWindow(other);
    }
    static HWND TopWindow(int x)
    {
        return CreateWindowExW(0, L"STATIC", L"window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 0, 200, 120, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    HWND other = TopWindow(300);
    HWND owner = TopWindow(0);
    std::string target;
    InterfaceStrings strings;
};

TEST_F(BrowseFolderDialogTest, OpensCentredOnTheFolderAndReturnsTheConfirmedOne)
{
    TBrowseFolderDialog dialog(owner);
    dialog.Flag = {TBrowseFlag::bfOnlySysDir};
    dialog.Caption = L"\x0412\x044B\x0431\x043E\x0440";  // Cyrillic, whatever the ANSI code page
    BrowseFolderPicker picker(dialog, strings);

    Driver driver(owner, IDOK, [](HWND browser) { return SelectedItem(browser) == L"Target"; });
    const std::optional<std::string> chosen = picker.PickFolder(Str::AskCommanderFolder, target);
    const Sighting seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.selected, L"Target");
    EXPECT_EQ(seen.caption, dialog.Caption);
    EXPECT_EQ(seen.title, Widen(strings[Str::AskCommanderFolder]));
    EXPECT_EQ(seen.rect.left, (GetSystemMetrics(SM_CXSCREEN) - (seen.rect.right - seen.rect.left)) / 2);
    EXPECT_EQ(seen.rect.top, (GetSystemMetrics(SM_CYSCREEN) - (seen.rect.bottom - seen.rect.top)) / 2);
    EXPECT_FALSE(seen.ownerEnabled);

    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(lstrcmpiA(chosen->c_str(), target.c_str()), 0) << *chosen;
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(dialog.BrowserWindow(), nullptr);
}

TEST_F(BrowseFolderDialogTest, CancelKeepsThePathAndEmptyTextsKeepTheShells)
{
    TBrowseFolderDialog dialog(owner);
    dialog.Path = "C:\\no such folder here";
    Driver driver(owner, IDCANCEL);
    EXPECT_FALSE(dialog.Execute());
    const Sighting seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, L"");
    EXPECT_FALSE(seen.caption.empty());
    EXPECT_EQ(seen.selected, L"");
    EXPECT_EQ(dialog.Path, "C:\\no such folder here");
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(BrowseFolderDialogTest, OnlyFileSystemFoldersCanBeConfirmed)
{
    TBrowseFolderDialog dialog(owner);
    dialog.Flag = {TBrowseFlag::bfOnlySysDir};
    dialog.Root = TRootFolder::rfDrives;
    // Selects the tree's top item, the list of drives, which has no file-system path.
    Driver driver(owner, IDOK, [](HWND browser) {
        const HWND tree = GetDlgItem(browser, kTreeId);
        const LPARAM top = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        if (top) SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, top);
        return top && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == top;
    });
    EXPECT_FALSE(dialog.Execute());
    const Sighting seen = driver.Join();
    EXPECT_FALSE(seen.selected.empty());
    EXPECT_FALSE(seen.okEnabled);
}

}  // namespace
}  // namespace pakvane
