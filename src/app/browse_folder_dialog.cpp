#include "app/browse_folder_dialog.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "app/ui/late_bound.h"
#include "app/ui/ui_text.h"
#include "app/ui/window_bridge.h"
#include "i18n/interface_strings.h"

namespace pakvane {

namespace {

// The shell flag of each option, in TBrowseFlag order.
constexpr std::array<UINT, 8> kBrowseFlagBits = {
    BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER, BIF_DONTGOBELOWDOMAIN, BIF_RETURNFSANCESTORS,
    BIF_RETURNONLYFSDIRS,  BIF_STATUSTEXT,       BIF_EDITBOX,           BIF_BROWSEINCLUDEFILES,
};

// The special folder of each root but rfOtherRoot, in TRootFolder order.
constexpr std::array<int, 4> kRootSpecialFolders = {CSIDL_DESKTOP, CSIDL_DRIVES, CSIDL_NETWORK, CSIDL_PERSONAL};

constexpr int kTitleStaticId = 0x3742;  // the shell browser's instruction text
constexpr UINT_PTR kSubclassId = 1;

struct PidlDeleter {
    void operator()(ITEMIDLIST* pidl) const noexcept { late::CoTaskMemFree(pidl); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlDeleter>;

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept
    {
        if (object) object->Release();
    }
};
using UniqueShellFolder = std::unique_ptr<IShellFolder, ComReleaser>;

// The shell needs COM on this thread for as long as the browser runs.
class ComInitialization {
public:
    ComInitialization() : result_(late::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComInitialization()
    {
        if (SUCCEEDED(result_)) late::CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    HRESULT result_;
};

// As a modal dialog does to the whole program: every enabled, visible top-level window of
// this thread is disabled for the scope; afterwards they are enabled again and the window
// that was active becomes active again.
class ThreadWindowsDisabled {
public:
    ThreadWindowsDisabled() : active_(GetActiveWindow())
    {
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&disabled_));
        for (const HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
    }
    ~ThreadWindowsDisabled()
    {
        for (const HWND hwnd : disabled_)
            if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
        if (active_ && IsWindow(active_)) SetActiveWindow(active_);
    }
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND hwnd, LPARAM list)
    {
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
    }

    HWND active_;
    std::vector<HWND> disabled_;
};

// The item list the desktop folder parses from a path; null when it cannot.
UniquePidl ParsePath(HWND owner, std::string_view path)
{
    IShellFolder* rawDesktop = nullptr;
    if (FAILED(late::SHGetDesktopFolder(&rawDesktop)) || !rawDesktop) return nullptr;
    const UniqueShellFolder desktop(rawDesktop);
    std::wstring wide = WidenAnsi(path);
    ITEMIDLIST* pidl = nullptr;
    if (FAILED(desktop->ParseDisplayName(owner, nullptr, wide.data(), nullptr, &pidl, nullptr))) return nullptr;
    return UniquePidl(pidl);
}

UniquePidl RootItem(HWND owner, TRootFolder root, const std::string& otherRoot)
{
    if (root == TRootFolder::rfOtherRoot) return ParsePath(owner, otherRoot);
    ITEMIDLIST* pidl = nullptr;
    if (FAILED(late::SHGetSpecialFolderLocation(owner, kRootSpecialFolders[static_cast<std::size_t>(root)], &pidl)))
        return nullptr;
    return UniquePidl(pidl);
}

}  // namespace

UINT ShellBrowseFlags(TBrowseFlags flags)
{
    UINT bits = 0;
    for (std::size_t i = 0; i < kBrowseFlagBits.size(); ++i)
        if (flags.Has(static_cast<TBrowseFlag>(i))) bits |= kBrowseFlagBits[i];
    return bits;
}

TBrowseFolderDialog::~TBrowseFolderDialog()
{
    Detach();
}

bool TBrowseFolderDialog::Execute()
{
    const ComInitialization com;
    // The shell's contract: its display-name buffer and SHGetPathFromIDListA's hold MAX_PATH.
    std::vector<char> buffer(MAX_PATH, '\0');
    const UniquePidl root = RootItem(Owner, Root, OtherRoot);
    // The shell gets the instruction in the ANSI code page for its layout; the window shows
    // the wide text once it exists.
    const std::string ansiTitle = NarrowAnsi(Title);

    BROWSEINFOA info{};
    info.hwndOwner = Owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = buffer.data();
    info.lpszTitle = Title.empty() ? nullptr : ansiTitle.c_str();
    info.ulFlags = ShellBrowseFlags(Flag);
    info.lpfn = &TBrowseFolderDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    info.iImage = 0;

    UniquePidl chosen;
    {
        const ThreadWindowsDisabled modal;
        chosen.reset(late::SHBrowseForFolderA(&info));
        Detach();
    }
    if (!chosen) return false;
    buffer.assign(MAX_PATH, '\0');
    late::SHGetPathFromIDListA(chosen.get(), buffer.data());
    Path = buffer.data();
    return true;
}

int CALLBACK TBrowseFolderDialog::BrowseCallback(HWND hwnd, UINT message, LPARAM, LPARAM data)
{
    auto* self = reinterpret_cast<TBrowseFolderDialog*>(data);
    GuardCallback("TBrowseFolderDialog::BrowseCallback", 0, [&]() -> LRESULT {
        if (message == BFFM_INITIALIZED && self) {
            self->Attach(hwnd);
            self->PrepareBrowserWindow();
        } else if (message == BFFM_SELCHANGED && self) {
            self->window_ = hwnd;
        }
        return 0;
    });
    return 0;
}

// Keeps the window handle exactly as long as the window lives.
LRESULT CALLBACK TBrowseFolderDialog::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                   DWORD_PTR data)
{
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) reinterpret_cast<TBrowseFolderDialog*>(data)->Detach();
    return result;
}

void TBrowseFolderDialog::Attach(HWND hwnd)
{
    Detach();
    window_ = hwnd;
    SetWindowSubclass(hwnd, &TBrowseFolderDialog::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void TBrowseFolderDialog::Detach()
{
    if (window_ && IsWindow(window_)) RemoveWindowSubclass(window_, &TBrowseFolderDialog::SubclassProc, kSubclassId);
    window_ = nullptr;
}

void TBrowseFolderDialog::PrepareBrowserWindow()
{
    if (!Caption.empty()) SetWindowTextW(window_, Caption.c_str());
    if (!Title.empty()) SetDlgItemTextW(window_, kTitleStaticId, Title.c_str());

    RECT rect{};
    if (GetWindowRect(window_, &rect)) {
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        MoveWindow(window_, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                   width, height, TRUE);
    }

    if (Path.empty()) return;
    if (const UniquePidl selection = ParsePath(window_, Path))
        SendMessageA(window_, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(selection.get()));
}

std::optional<std::string> BrowseFolderPicker::PickFolder(Str title, const std::string& initial)
{
    dialog_.Title = Widen(strings_[title]);
    dialog_.Path = initial;
    if (!dialog_.Execute()) return std::nullopt;
    return dialog_.Path;
}

}  // namespace pakvane
