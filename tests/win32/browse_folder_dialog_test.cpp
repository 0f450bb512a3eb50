// The folder picker, driven in-process: a second thread finds the shell's browser window
// of the test thread, looks at it and presses its buttons, as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/browse_folder_dialog.h"
#include "app/ui_text.h"
#include "i18n/interface_strings.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

constexpr int kTreeId = 0x3741;
constexpr int kTitleId = 0x3742;

// What the driver saw while the browser was open.
struct Sighting {
    bool found = false;
    RECT rect{};
    std::wstring caption;
    std::wstring title;
    std::wstring selected;    // text of the tree's selected item; empty when none
    bool ownerEnabled = true;
    bool otherEnabled = true;
    bool okEnabled = true;
};

BOOL CALLBACK MatchBrowser(HWND hwnd, LPARAM out)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, kTreeId)) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

HWND FindBrowser(DWORD thread)
{
    HWND found = nullptr;
    EnumThreadWindows(thread, &MatchBrowser, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring TextOf(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring SelectedItem(HWND tree)
{
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return L"";
    wchar_t text[MAX_PATH] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

// Runs on its own thread while the test thread is inside Execute. Waits for the browser,
// then until ready(browser) holds or the deadline passes, records what it sees and presses
// the button. Whatever happens, the browser is closed so that Execute returns.
class Driver {
public:
    Driver(HWND owner, HWND other, int button, std::function<bool(HWND)> ready = nullptr)
        : thread_(GetCurrentThreadId()), owner_(owner), other_(other), button_(button), ready_(std::move(ready)),
          worker_([this] { Run(); })
    {
    }
    ~Driver() { Join(); }
    const Sighting& Join()
    {
        if (worker_.joinable()) worker_.join();
        return seen_;
    }

private:
    void Run()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        HWND browser = nullptr;
        while (!(browser = FindBrowser(thread_)) && std::chrono::steady_clock::now() < deadline) Sleep(20);
        if (!browser) return;
        while (ready_ && !ready_(browser) && std::chrono::steady_clock::now() < deadline) Sleep(20);
        seen_.found = true;
        GetWindowRect(browser, &seen_.rect);
        seen_.caption = TextOf(browser);
        seen_.title = TextOf(GetDlgItem(browser, kTitleId));
        seen_.selected = SelectedItem(GetDlgItem(browser, kTreeId));
        seen_.ownerEnabled = owner_ && IsWindowEnabled(owner_);
        seen_.otherEnabled = other_ && IsWindowEnabled(other_);
        seen_.okEnabled = IsWindowEnabled(GetDlgItem(browser, IDOK));
        // A user cannot press a disabled button; cancel then, or Execute would never return.
        if (IsWindowEnabled(GetDlgItem(browser, button_)))
            PostMessageW(browser, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(browser, button_)));
        while (IsWindow(browser) && std::chrono::steady_clock::now() < deadline) {
            Sleep(50);
            if (IsWindow(browser)) PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }

    DWORD thread_;
    HWND owner_;
    HWND other_;
    int button_;
    std::function<bool(HWND)> ready_;
    Sighting seen_;
    std::thread worker_;
};

class TopWindow {
public:
    explicit TopWindow(const wchar_t* title, int x)
        : hwnd_(CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 0, 200, 120, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~TopWindow() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Wine's item ids carry a folder's last-access time: read each folder of the path once,
// so that the browser finds them as they now are.
void TouchFolders(std::string path)
{
    while (!path.empty()) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            while (FindNextFileA(search, &found)) {}
            FindClose(search);
        }
        const std::size_t cut = path.find_last_of('\\');
        if (cut == std::string::npos || cut <= 2) break;
        path.resize(cut);
    }
}

class BrowseFolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string scratch = testing::MakeScratchFolder("pvpick");
        target = scratch + "Target";
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        TouchFolders(target);
        SetActiveWindow(owner.Get());
    }

    TopWindow other{L"other", 300};
    TopWindow owner{L"owner", 0};
    std::string target;
};

TEST_F(BrowseFolderDialogTest, OpensCentredOnTheFolderAndReturnsTheConfirmedOne)
{
    TBrowseFolderDialog picker(owner.Get());
    picker.Flag = {TBrowseFlag::bfOnlySysDir};
    picker.Title = L"\x0423\x043A\x0430\x0436\x0438\x0442\x0435 \x043F\x0430\x043F\x043A\x0443";  // Cyrillic
    picker.Caption = L"\x0412\x044B\x0431\x043E\x0440";
    picker.Path = target;
    ASSERT_EQ(GetActiveWindow(), owner.Get());

    Driver driver(owner.Get(), other.Get(), IDOK, [](HWND browser) {
        return SelectedItem(GetDlgItem(browser, kTreeId)) == L"Target";
    });
    const bool confirmed = picker.Execute();
    const Sighting seen = driver.Join();

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.selected, L"Target");
    EXPECT_EQ(seen.caption, picker.Caption);
    EXPECT_EQ(seen.title, picker.Title);
    EXPECT_EQ(seen.rect.left, (GetSystemMetrics(SM_CXSCREEN) - (seen.rect.right - seen.rect.left)) / 2);
    EXPECT_EQ(seen.rect.top, (GetSystemMetrics(SM_CYSCREEN) - (seen.rect.bottom - seen.rect.top)) / 2);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_FALSE(seen.otherEnabled);

    EXPECT_TRUE(confirmed);
    EXPECT_EQ(lstrcmpiA(picker.Path.c_str(), target.c_str()), 0) << picker.Path;
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
    EXPECT_TRUE(IsWindowEnabled(other.Get()));
    EXPECT_EQ(GetActiveWindow(), owner.Get());
    EXPECT_EQ(picker.BrowserWindow(), nullptr);
}

TEST_F(BrowseFolderDialogTest, CancelKeepsThePathAndAnEmptyCaptionKeepsTheShells)
{
    TBrowseFolderDialog picker(owner.Get());
    picker.Path = "C:\\no such folder here";
    Driver driver(owner.Get(), other.Get(), IDCANCEL);
    EXPECT_FALSE(picker.Execute());
    const Sighting seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, L"");
    EXPECT_FALSE(seen.caption.empty());
    EXPECT_EQ(seen.selected, L"");
    EXPECT_EQ(picker.Path, "C:\\no such folder here");
    EXPECT_TRUE(IsWindowEnabled(owner.Get()));
    EXPECT_EQ(GetActiveWindow(), owner.Get());
}

TEST_F(BrowseFolderDialogTest, PickerForTheCoreShowsTheInterfaceStringAsTitle)
{
    InterfaceStrings strings;
    strings.FillBuiltIn();
    TBrowseFolderDialog dialog(owner.Get());
    dialog.Flag = {TBrowseFlag::bfOnlySysDir};
    BrowseFolderPicker picker(dialog, strings);
    {
        Driver driver(owner.Get(), other.Get(), IDCANCEL);
        EXPECT_EQ(picker.PickFolder(Str::AskCommanderFolder, target), std::nullopt);
        const Sighting seen = driver.Join();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, Widen(strings[Str::AskCommanderFolder]));
    }
    Driver driver(owner.Get(), other.Get(), IDOK, [](HWND browser) {
        return SelectedItem(GetDlgItem(browser, kTreeId)) == L"Target";
    });
    const std::optional<std::string> chosen = picker.PickFolder(Str::AskSearchFolder, target);
    EXPECT_EQ(driver.Join().title, Widen(strings[Str::AskSearchFolder]));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(lstrcmpiA(chosen->c_str(), target.c_str()), 0) << *chosen;
}

TEST_F(BrowseFolderDialogTest, OnlyFileSystemFoldersCanBeConfirmed)
{
    TBrowseFolderDialog picker(owner.Get());
    picker.Flag = {TBrowseFlag::bfOnlySysDir};
    picker.Root = TRootFolder::rfDrives;
    // Selects the tree's top item, the list of drives, which has no file-system path.
    Driver driver(owner.Get(), other.Get(), IDOK, [](HWND browser) {
        const HWND tree = GetDlgItem(browser, kTreeId);
        const LPARAM top = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        if (!top) return false;
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, top);
        return SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == top;
    });
    EXPECT_FALSE(picker.Execute());
    const Sighting seen = driver.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.selected.empty());
    EXPECT_FALSE(seen.okEnabled);
    EXPECT_EQ(picker.Path, "");
}

}  // namespace
}  // namespace pakvane
