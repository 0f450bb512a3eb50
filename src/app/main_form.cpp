#include "app/main_form.h"

#include <commctrl.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/main_form_design.h"
#include "app/system_services.h"
#include "app/ui/ui_text.h"

namespace pakvane {

TMainForm::TMainForm(HINSTANCE instance, std::vector<std::string> arguments, bool endsProgram)
    : instance_(instance),
      arguments_(std::move(arguments)),
      endsProgram_(endsProgram),
      scale_(DpiScale::ForScreen()),
      services_(std::make_unique<SystemServices>()),
      listView_(*this, list_),
      splitter_(*this)
{
}

TMainForm::~TMainForm()
{
    DestroyBridgedWindow();
}

const std::string& TMainForm::Argument(std::size_t index) const
{
    static const std::string none;
    return index < arguments_.size() ? arguments_[index] : none;
}

void TMainForm::Create()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = kMainFormClass;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterBridgedClass(windowClass);

    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT frame{0, 0, scale_(design::kClientWidth), scale_(design::kClientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    memoHeight_ = scale_(design::kMemoHeight);

    // Step 1 of the creation: the caption is also the taskbar text, and never changes.
    const std::wstring caption = WidenAnsi(kMainCaption);
    CreateBridgedWindow(exStyle, kMainFormClass, caption.c_str(), style, design::kLeft, design::kTop,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_);
    try {
        FormCreate();
    } catch (...) {
        DestroyBridgedWindow();  // never a half-made window
        throw;
    }
}

// The creation steps, in their order. The window is still hidden, so a message box of the
// configuration search shows before the window does.
void TMainForm::FormCreate()
{
    OpenSettings();
    RECT window{};
    GetWindowRect(Handle(), &window);
    minimumSize_ = SIZE{window.right - window.left, window.bottom - window.top};
    firstActivation_ = true;
    ReadStartupSettings();
    BuildLanguageMenu(state_.languageFile);
    ApplyLanguage();
    imageButtons_.LoadImages(instance_, scale_);
    DisableListCommands();
    LocateConfigurationFile();
    LocateCommanderFolder();
}

void TMainForm::Show(int showCommand)
{
    ShowWindow(Handle(), showCommand);
    UpdateWindow(Handle());
    if (GetActiveWindow() == Handle()) SetFocus(listView_.Handle());
}

void TMainForm::SetConfiguration(std::string iniPath, std::vector<AssociationRow> rows)
{
    ShowConfigurationPath(std::move(iniPath));
    state_.configurationLoaded = true;
    const bool any = !rows.empty();
    list_.Replace(std::move(rows), any ? 0 : -1);
    if (any) state_.rowCommands = true;
    ShowCommandStates();
    listView_.Refresh();
    WCXListClick();
}

void TMainForm::ShowConfigurationPath(std::string path)
{
    iniPath_ = std::move(path);
    SetWindowTextW(Control(ids::kIniShow), WidenAnsi(iniPath_).c_str());
}

void TMainForm::SetMemoText(std::wstring_view text)
{
    SetWindowTextW(Control(ids::kCommMemo), std::wstring(text).c_str());
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateMenus();
        CreateControls();
        return 0;
    case WM_ACTIVATE:
        return FormActivate(wParam);
    case WM_GETMINMAXINFO:
        if (minimumSize_.cx > 0) {
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize = POINT{minimumSize_.cx, minimumSize_.cy};
        }
        return 0;
    case WM_WINDOWPOSCHANGING:
        FormCanResize(*reinterpret_cast<WINDOWPOS*>(lParam));
        return DefaultProc(message, wParam, lParam);
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) LayoutControls();
        return 0;
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_DESTROY:
        if (endsProgram_) PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        // Notifications of controls were reflected to their owners already; what is left
        // is a command by its id (buttons, menu items, commands posted by other programs).
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:
        imageButtons_.LoadImages(instance_, scale_);
        return 0;
    case WM_THEMECHANGED:
        imageButtons_.OpenTheme();
        listView_.OpenTheme();
        InvalidateRect(Handle(), nullptr, TRUE);
        return 0;
    default:
        if (message == kWmRestorePlacement) {
            RestorePlacement();
            WCXListClick();
            return 0;
        }
        return DefaultProc(message, wParam, lParam);
    }
}

// Only the first activation does anything of its own: the saved placement is applied
// once the window is visible and active, through the posted message. Every activation
// gives the keyboard focus back to the control that had it.
LRESULT TMainForm::FormActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        return 0;
    }
    if (firstActivation_) {
        firstActivation_ = false;
        PostMessageW(Handle(), kWmRestorePlacement, 0, 0);
    }
    // Not while a modal dialog of ours is open: the owner is disabled then, and taking the
    // focus back would take the activation from the dialog as it appears.
    if (!HIWORD(wParam) && IsWindowEnabled(Handle())) {
        HWND focus =
            lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) ? lastFocus_ : listView_.Handle();
        SetFocus(focus);
    }
    return 0;
}

// Every change of size, by the user or by code (another program's SetWindowPos
// included), keeps at least the size as created. A minimized window is left alone.
void TMainForm::FormCanResize(WINDOWPOS& position) const
{
    if ((position.flags & SWP_NOSIZE) || minimumSize_.cx <= 0 || IsIconic(Handle())) return;
    position.cx = std::max(position.cx, static_cast<int>(minimumSize_.cx));
    position.cy = std::max(position.cy, static_cast<int>(minimumSize_.cy));
}

// Closing, whichever way: unsaved changes are settled first (the window may stay).
void TMainForm::FormClose()
{
    if (!SettleUnsavedChanges()) return;
    WriteSettings();
    DestroyWindow(Handle());
}

}  // namespace pakvane
