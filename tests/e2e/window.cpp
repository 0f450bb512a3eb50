#include "window.h"

#include <algorithm>

namespace pakvane::e2e {

std::string Describe(const Rect& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ") " + std::to_string(r.Width()) + "x" + std::to_string(r.Height());
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

void Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    PostMessageW(window, message, wparam, lparam);
}

bool Sync(HWND window, DWORD timeout_ms)
{
    for (int trip = 0; trip < 2; ++trip) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeout_ms, &ignored))
            return false;
    }
    return true;
}

namespace {

BOOL CALLBACK NoteUnpainted(HWND window, LPARAM data)
{
    if (!GetUpdateRect(window, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(data) = false;
    return FALSE;
}

}  // namespace

bool Painted(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool painted = true;
    EnumChildWindows(window, NoteUnpainted, reinterpret_cast<LPARAM>(&painted));
    return painted;
}

std::wstring WindowText(HWND window)
{
    if (!IsWindow(window)) return {};
    const auto length = static_cast<size_t>(Send(window, WM_GETTEXTLENGTH));
    std::wstring text(length + 1, L'\0');
    const auto copied =
        static_cast<size_t>(Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool IsShown(HWND window)
{
    return window && IsWindow(window) && IsWindowVisible(window);
}
bool IsEnabled(HWND window)
{
    return window && IsWindow(window) && IsWindowEnabled(window);
}

Rect ScreenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Rect ClientRect(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

namespace {

struct TopLevelSearch {
    DWORD pid;
    const wchar_t* class_name;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    if (ProcessOf(window) != search->pid) return TRUE;
    if (search->class_name && ClassName(window) != search->class_name) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

struct DescendantSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<DescendantSearch*>(data);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

LPARAM KeyParam(UINT virtual_key, bool up)
{
    const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
    LPARAM param = 1 | static_cast<LPARAM>(scan << 16);
    if (up) param |= static_cast<LPARAM>(0xC0000000u);
    return param;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* class_name)
{
    TopLevelSearch search{pid, class_name, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, int id)
{
    if (!parent) return nullptr;
    DescendantSearch search{id, nullptr};
    EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Click(HWND button)
{
    Post(button, BM_CLICK);
}

void PostCommand(HWND window, int id)
{
    Post(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

void PostKey(HWND window, UINT virtual_key)
{
    Post(window, WM_KEYDOWN, virtual_key, KeyParam(virtual_key, false));
    Post(window, WM_KEYUP, virtual_key, KeyParam(virtual_key, true));
}

void PostChars(HWND window, std::wstring_view text)
{
    for (wchar_t c : text) Post(window, WM_CHAR, c, 1);
}

std::vector<std::wstring> ListRows(HWND list)
{
    std::vector<std::wstring> rows;
    const auto count = Send(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        if (length < 0) {
            rows.emplace_back();
            continue;
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const auto copied = Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
        rows.push_back(std::move(text));
    }
    return rows;
}

int ListSelection(HWND list)
{
    return static_cast<int>(Send(list, LB_GETCURSEL));
}

std::vector<LRESULT> ListItemData(HWND list)
{
    std::vector<LRESULT> data;
    const auto count = Send(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) data.push_back(Send(list, LB_GETITEMDATA, static_cast<WPARAM>(i)));
    return data;
}

void SelectRow(HWND notified, HWND list, int index)
{
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(index));
    Post(notified, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(list)), LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(list));
}

void PressSpace(HWND list)
{
    // The program's message loop turns the key into its WM_CHAR, as for a real key press.
    PostKey(list, VK_SPACE);
}

HWND FileNameEdit(HWND dialog)
{
    constexpr int kFileNameCombo = 0x47C;  // cmb13
    constexpr int kFileNameEdit = 0x480;  // edt1
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo); combo && IsWindowVisible(combo)) {
        // A combo box, or (in Wine) a ComboBoxEx32 with the combo box inside: the edit is deeper.
        for (HWND inner = combo; inner; inner = FindWindowExW(inner, nullptr, L"ComboBox", nullptr))
            if (HWND edit = FindWindowExW(inner, nullptr, L"Edit", nullptr)) return edit;
    }
    if (HWND edit = GetDlgItem(dialog, kFileNameEdit); edit && IsWindowVisible(edit)) return edit;
    return nullptr;
}

bool ChooseFileName(HWND dialog, const std::wstring& name)
{
    const HWND edit = FileNameEdit(dialog);
    if (!edit) return false;
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (WindowText(edit) != name) return false;
    PressBoxButton(dialog, IDOK);
    return true;
}

bool MessageBoxInfo::HasButton(int id) const
{
    const HWND button = GetDlgItem(hwnd, id);
    return button && IsWindowVisible(button);
}

std::vector<int> MessageBoxInfo::Buttons() const
{
    std::vector<int> ids;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
        if (HasButton(id)) ids.push_back(id);
    return ids;
}

MessageBoxInfo ReadMessageBox(HWND box)
{
    MessageBoxInfo info;
    info.hwnd = box;
    info.caption = WindowText(box);
    if (HWND text = GetDlgItem(box, 0xFFFF)) info.text = WindowText(text);
    return info;
}

std::vector<HWND> VisibleDialogs(DWORD pid)
{
    std::vector<HWND> shown;
    for (HWND w : TopLevelWindows(pid, L"#32770"))
        if (IsWindowVisible(w)) shown.push_back(w);
    return shown;
}

void PressBoxButton(HWND box, int id)
{
    // The dialog's own WM_COMMAND path: the same as a click, and it works for every button.
    Post(box, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

}  // namespace pakvane::e2e
