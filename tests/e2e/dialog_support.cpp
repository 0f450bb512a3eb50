#include "dialog_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <system_error>

namespace pakvane::e2e {

namespace {

constexpr int kPickerTree = 0x3741;

// A block of memory in another process, for messages whose parameters are pointers.
class RemoteBlock {
public:
    RemoteBlock(DWORD pid, size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)),
          size_(size)
    {
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    void* Address(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* bytes, size_t size) const
    {
        return address_ && offset + size <= size_ &&
               WriteProcessMemory(process_, Address(offset), bytes, size, nullptr);
    }
    bool Read(size_t offset, void* bytes, size_t size) const
    {
        return address_ && offset + size <= size_ && ReadProcessMemory(process_, Address(offset), bytes, size, nullptr);
    }

private:
    HANDLE process_;
    size_t size_;
    void* address_ = nullptr;
};

}  // namespace

void CopyTestPlugins(Journey& journey, const fs::path& folder, const std::vector<std::wstring>& names)
{
    const char* plugins = std::getenv("PAKVANE_TEST_PLUGINS");
    journey.Require(plugins && *plugins, "PAKVANE_TEST_PLUGINS names no folder");
    const fs::path from = ToWindowsPath(plugins);
    fs::create_directories(folder);
    for (const auto& name : names) {
        std::error_code error;
        fs::copy_file(from / name, folder / name, fs::copy_options::overwrite_existing, error);
        journey.Require(!error,
                        "cannot copy the test plugin " + Utf8((from / name).wstring()) + ": " + error.message());
    }
}

HWND WaitWindowOfClass(Journey& journey, App& app, const wchar_t* class_name, std::source_location where)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindows(app.Pid(), class_name))
                if (IsWindowVisible(w)) found = w;
            return found != nullptr || !app.Running();
        },
        Deadline(kBoxTimeoutMs));
    if (!found) {
        app.SweepStray(std::string("instead of a window of class ") + Utf8(class_name), where);
        journey.Abort("no window of class " + Utf8(class_name) + " appeared", where);
    }
    // Shown, then let it finish its start before it is worked.
    Sync(found);
    return found;
}

bool WaitGone(Journey& journey, HWND window, std::string_view what, std::source_location where)
{
    return journey.Await([&] { return !IsShown(window); }, kBoxTimeoutMs, std::string(what) + " has closed", where);
}

HWND FocusIn(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool HasFocus(HWND control)
{
    const HWND focus = FocusIn(control);
    return focus && (focus == control || IsChild(control, focus));
}

void SetText(HWND control, const std::wstring& text)
{
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FindFolderPicker(DWORD pid)
{
    for (HWND w : VisibleDialogs(pid))
        if (GetDlgItem(w, kPickerTree)) return w;
    return nullptr;
}

std::wstring PickerSelection(HWND picker)
{
    const HWND tree = GetDlgItem(picker, kPickerTree);
    const auto item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return {};
    // The item and its text buffer live in the picker's process.
    constexpr size_t kChars = 1024;
    RemoteBlock block(ProcessOf(picker), sizeof(TVITEMW) + kChars * sizeof(wchar_t));
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = static_cast<wchar_t*>(block.Address(sizeof(TVITEMW)));
    query.cchTextMax = kChars;
    const wchar_t nothing = L'\0';
    if (!block.Write(0, &query, sizeof(query)) || !block.Write(sizeof(TVITEMW), &nothing, sizeof(nothing))) return {};
    if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.Address()))) return {};
    std::wstring text(kChars, L'\0');
    if (!block.Read(sizeof(TVITEMW), text.data(), kChars * sizeof(wchar_t))) return {};
    text.resize(text.find(L'\0'));
    return text;
}

void ReadFolderAndParents(const fs::path& folder)
{
    for (fs::path at = folder;; at = at.parent_path()) {
        std::error_code error;
        for (auto it = fs::directory_iterator(at, error); !error && it != fs::directory_iterator();
             it.increment(error)) {}
        if (!at.has_relative_path() || at == at.parent_path()) break;
    }
}

bool PickerSelectFolder(HWND picker, const fs::path& folder)
{
    ReadFolderAndParents(folder);
    const std::wstring path = folder.wstring();
    RemoteBlock block(ProcessOf(picker), (path.size() + 1) * sizeof(wchar_t));
    if (!block.Write(0, path.c_str(), (path.size() + 1) * sizeof(wchar_t))) return false;
    Send(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(block.Address()));
    return PickerSelection(picker) == folder.filename().wstring();
}

}  // namespace pakvane::e2e
