#pragma once
// Reading and working windows of another process. Everything that could block behind a
// modal box is posted; reads go through SendMessageTimeoutW so a hung program cannot hang
// the driver, and through the W API so texts do not depend on the ANSI code page.

#include <windows.h>

#include <string>
#include <vector>

namespace pakvane::e2e {

inline constexpr DWORD kSendTimeoutMs = 3000;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
std::string Describe(const Rect& rect);

// SendMessageTimeoutW; the result, or 0 when the window did not answer in time.
LRESULT Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
void Post(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Waits until the thread of the window has handled what was posted to it before. A message
// sent to another thread is handled only when that thread next looks at its queue: the
// first round trip returns once the handler that was running has finished (or a modal loop
// has begun), the second once the message that came next has been handled too. False when
// the window is gone or did not answer within the limit.
bool Sync(HWND window, DWORD timeout_ms = kSendTimeoutMs);
// True when neither the window nor any of its descendants waits to be painted.
bool Painted(HWND window);

std::wstring WindowText(HWND window);  // WM_GETTEXT, as the control itself reports it
std::wstring ClassName(HWND window);
DWORD ProcessOf(HWND window);
bool IsShown(HWND window);  // exists and visible
bool IsEnabled(HWND window);
Rect ScreenRect(HWND window);
Rect ClientRect(HWND window);

// Windows of a process, top-level only, hidden ones included; optionally of one class.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* class_name = nullptr);
// Any descendant of parent whose control ID is id (controls may sit inside group boxes).
HWND FindDescendant(HWND parent, int id);

// Input. Buttons get BM_CLICK, menu commands a WM_COMMAND with the item's ID.
void Click(HWND button);
void PostCommand(HWND window, int id);
void PostKey(HWND window, UINT virtual_key);  // WM_KEYDOWN then WM_KEYUP
void PostChars(HWND window, std::wstring_view text);

// List box rows via LB_GETTEXT (the W version: the A one is broken across processes in Wine).
std::vector<std::wstring> ListRows(HWND list);
int ListSelection(HWND list);
// Each row's item data (the program keeps a row's check state there: 1 checked, 0 not).
std::vector<LRESULT> ListItemData(HWND list);
// Selects a row as a click would: LB_SETCURSEL, then the LBN_SELCHANGE the list would send
// to the window that handles its notifications.
void SelectRow(HWND notified, HWND list, int index);
// The space bar on the list: switches the selected row's check box.
void PressSpace(HWND list);

// The common file-open dialog (#32770): its file name edit (inside the combo box 0x47C,
// which Wine makes a ComboBoxEx32, or the old-style edit 0x480), or nullptr when the window is no such dialog.
HWND FileNameEdit(HWND dialog);
// Types the name into the dialog's file name field and presses OK.
bool ChooseFileName(HWND dialog, const std::wstring& name);

// A message box (#32770 with its text in static 0xFFFF).
struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    bool HasButton(int id) const;  // IDOK, IDCANCEL, IDYES, IDNO...
    std::vector<int> Buttons() const;  // the standard button IDs present, ascending
    explicit operator bool() const { return hwnd != nullptr; }
};
MessageBoxInfo ReadMessageBox(HWND box);
std::vector<HWND> VisibleDialogs(DWORD pid);  // visible #32770 windows of the process
// Presses the button with that ID (by ID, never by its text, which follows the locale).
void PressBoxButton(HWND box, int id);

}  // namespace pakvane::e2e
