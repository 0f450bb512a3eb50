#include "app/ui/modal_dialog.h"

#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/ui/placement.h"
#include "app/ui/ui_font.h"
#include "app/ui/window_bridge.h"

namespace pakvane {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

void RegisterDialogClass(HINSTANCE instance, const wchar_t* className)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW dialogClass{};
    dialogClass.cbSize = sizeof dialogClass;
    dialogClass.lpfnWndProc = DefDlgProcW;
    dialogClass.cbWndExtra = DLGWINDOWEXTRA;
    dialogClass.hInstance = instance;
    dialogClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    dialogClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialogClass.lpszClassName = className;
    if (!RegisterClassExW(&dialogClass)) throw std::runtime_error("the dialog class could not be registered");
}

void AppendText(std::vector<WORD>& words, const wchar_t* text)
{
    const std::size_t length = wcslen(text);
    words.insert(words.end(), text, text + length);
    words.push_back(0);
}

// A template without controls (the dialog makes them from its table) and without a size
// (it sizes itself in pixels); what matters is its class and its title.
std::vector<WORD> MakeTemplate(const wchar_t* className, const std::wstring& title)
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE header{};
    header.style = kDialogStyle;
    header.dwExtendedStyle = kDialogExStyle;
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // no menu
    AppendText(words, className);
    AppendText(words, title.c_str());
    return words;
}

}  // namespace

ModalDialog::ModalDialog(const wchar_t* className, SIZE designClient)
    : className_(className),
      designClient_(designClient),
      scale_(DpiScale::ForScreen())
{
}

INT_PTR ModalDialog::RunModal(HWND owner, HINSTANCE instance, const std::wstring& title)
{
    instance_ = instance;
    failure_ = nullptr;
    RegisterDialogClass(instance, className_);
    const std::vector<WORD> dialogTemplate = MakeTemplate(className_, title);
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                &ModalDialog::Procedure, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    if (result == -1) throw std::runtime_error("the dialog could not be shown");
    return result;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        ReportUnexpectedException("dialog procedure");
        if (message == WM_INITDIALOG) {
            // A dialog that could not start is not shown half-made.
            self->failure_ = std::current_exception();
            EndDialog(hwnd, -1);
        }
        return FALSE;
    }
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT reflected = 0;
    if (ReflectMessage(message, wParam, lParam, reflected)) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, reflected);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG: {
        Start();
        return OnStart() ? TRUE : FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, HIWORD(wParam)) ? TRUE : FALSE;
    }
    default: {
        INT_PTR result = 0;
        if (!OnMessage(message, wParam, lParam, result)) return FALSE;
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

// The dialog's size in pixels for its design size, and the window font.
void ModalDialog::Start()
{
    font_ = CreateUiFont(scale_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    RECT frame{0, 0, scale_(designClient_.cx), scale_(designClient_.cy)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::CreateTable(std::span<const ControlRow> rows, HintTooltip* hints,
                              const std::function<HWND(const ControlRow&)>& makeCustom)
{
    if (hints) hints->Create(hwnd_, font_.get());
    CreateControls(hwnd_, rows, instance_, font_.get(), hints, makeCustom);
    LayoutControls(hwnd_, rows, scale_, designClient_);
}

void ModalDialog::PlaceAt(POINT topLeft)
{
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const RECT wanted{topLeft.x, topLeft.y, topLeft.x + (window.right - window.left),
                      topLeft.y + (window.bottom - window.top)};
    const RECT placed = KeepOnMonitor(wanted, CurrentMonitors());
    SetWindowPos(hwnd_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::CenterOverOwner()
{
    RECT window{};
    GetWindowRect(hwnd_, &window);
    RECT around{};
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &around)) {
        around = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    PlaceAt(POINT{around.left + ((around.right - around.left) - (window.right - window.left)) / 2,
                  around.top + ((around.bottom - around.top) - (window.bottom - window.top)) / 2});
}

}  // namespace pakvane
