#include "app/main_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/main_form_design.h"
#include "app/system_services.h"
#include "app/ui_text.h"

namespace pakvane {

TMainForm::TMainForm(HINSTANCE instance, std::vector<std::string> arguments, bool endsProgram)
    : instance_(instance),
      arguments_(std::move(arguments)),
      endsProgram_(endsProgram),
      scale_(DpiScale::ForScreen()),
      services_(std::make_unique<SystemServices>()),
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
    FormCreate();
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
    BuildLanguageMenu(languageFile_);
    ApplyLanguage();
    LoadButtonImages();
    DisableListCommands();
    LocateConfigurationFile();
    LocateCommanderFolder();
}

void TMainForm::Show(int showCommand)
{
    ShowWindow(Handle(), showCommand);
    UpdateWindow(Handle());
    if (GetActiveWindow() == Handle()) SetFocus(listBox_);
}

// The submenu holds the built-in language and the separator after which the language
// files' items will follow; none are listed yet, so the built-in strings are in force.
void TMainForm::BuildLanguageMenu(const std::string&)
{
    languageFile_.clear();
    CheckMenuRadioItem(languageMenu_, 0, GetMenuItemCount(languageMenu_) - 1, 0, MF_BYPOSITION);
}

// Fills the current interface strings (built-in only for now) and shows them. Returns
// whether a language file was used.
bool TMainForm::ApplyLanguage()
{
    strings_.FillBuiltIn();
    ApplyCaptions();
    return false;
}

void TMainForm::SetConfiguration(std::string iniPath, std::vector<AssociationRow> rows)
{
    ShowConfigurationPath(std::move(iniPath));
    EnableAddCommands();
    const bool any = !rows.empty();
    list_.Replace(std::move(rows), any ? 0 : -1);
    if (any) EnableRowCommands();
    RefreshList();
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
        CreateTooltips();
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
        if (wParam != SIZE_MINIMIZED) FormResize();
        return 0;
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_DESTROY:
        if (endsProgram_) PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        // Notifications of the list; everything else is a command by its id.
        if (reinterpret_cast<HWND>(lParam) == listBox_ && listBox_) {
            if (HIWORD(wParam) == LBN_SELCHANGE) SyncSelectionFromView();
            else if (HIWORD(wParam) == LBN_DBLCLK) OnCommand(ids::kPropItem);
            return 0;
        }
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == listBox_) {
            WCXListContextMenu(lParam);
            return 0;
        }
        return DefaultProc(message, wParam, lParam);
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_LISTBOX && item.CtlID == ids::kWcxList) {
            item.itemHeight = static_cast<UINT>(RowHeight());
            return TRUE;
        }
        return DefaultProc(message, wParam, lParam);
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_LISTBOX && item.CtlID == ids::kWcxList) {
            WCXListDrawItem(item);
            return TRUE;
        }
        if (item.CtlType == ODT_BUTTON) {
            DrawImageButton(item);
            return TRUE;
        }
        return DefaultProc(message, wParam, lParam);
    }
    case WM_CTLCOLORSTATIC:
        return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:
        LoadButtonImages();
        return 0;
    case WM_THEMECHANGED:
        OpenThemes();
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
    if (!HIWORD(wParam)) {
        HWND focus = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) ? lastFocus_ : listBox_;
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

void TMainForm::FormResize()
{
    LayoutControls();
}

// Closing, whichever way: unsaved changes are settled first (the window may stay).
void TMainForm::FormClose()
{
    if (!SettleUnsavedChanges()) return;
    WriteSettings();
    DestroyWindow(Handle());
}

bool TMainForm::IsCommandEnabled(int id) const
{
    if (HWND control = GetDlgItem(Handle(), id)) return IsWindowEnabled(control) != FALSE;
    const UINT state = GetMenuState(popupMenu_.get(), static_cast<UINT>(id), MF_BYCOMMAND);
    if (state != static_cast<UINT>(-1)) return (state & (MF_GRAYED | MF_DISABLED)) == 0;
    return true;  // Tools menu items are always enabled
}

// Buttons and menu items by id; a disabled one does nothing, even when its command is
// posted by another program.
void TMainForm::OnCommand(int id)
{
    if (!IsCommandEnabled(id)) return;
    switch (id) {
    case ids::kOpenIniButton: OpenIniButtonClick(); break;
    case ids::kAddButton:
    case ids::kAddItem: AddButtonClick(); break;
    case ids::kPropButton:
    case ids::kPropItem: PropButtonClick(); break;
    case ids::kDelButton:
    case ids::kDelItem: DelButtonClick(); break;
    case ids::kCommentItem: CommentItemClick(); break;
    case ids::kApplyButton: ApplyButtonClick(); break;
    case ids::kCancelButton: CancelButtonClick(); break;
    case ids::kToolButton: ToolButtonClick(); break;
    case ids::kSort1Item:
    case ids::kSort2Item: Sort1ItemClick(id); break;
    case ids::kDefComItem: DefComItemClick(); break;
    case ids::kAutoItem: AutoItemClick(); break;
    case ids::kDelAutoItem: DelAutoItemClick(); break;
    case ids::kFindItem: FindItemClick(); break;
    default:
        if (id == ids::kDefLngItem || id >= ids::kFirstLanguageItem) DefLngItemClick(id);
        break;
    }
}

// Commands whose work belongs to other parts of the program; they arrive with them.
void TMainForm::AddButtonClick() {}
void TMainForm::PropButtonClick() {}
void TMainForm::DelButtonClick() {}
void TMainForm::CommentItemClick() {}
void TMainForm::DefComItemClick() {}
void TMainForm::AutoItemClick() {}
void TMainForm::DelAutoItemClick() {}
void TMainForm::FindItemClick() {}
// The save shows its own messages and clears the unsaved-changes state itself.
void TMainForm::ApplyButtonClick()
{
    SaveConfiguration();
}

// Leaves the program exactly as the close box does, save question included.
void TMainForm::CancelButtonClick()
{
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TMainForm::Sort1ItemClick(int id)
{
    SetSortByExtension(id == ids::kSort1Item);
    SortList();
}

void TMainForm::DefLngItemClick(int id)
{
    const int last = GetMenuItemCount(languageMenu_) - 1;
    for (int position = 0; position <= last; ++position) {
        if (GetMenuItemID(languageMenu_, position) == static_cast<UINT>(id)) {
            CheckMenuRadioItem(languageMenu_, 0, last, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
    languageFile_.clear();
    if (!ApplyLanguage()) CheckMenuRadioItem(languageMenu_, 0, last, 0, MF_BYPOSITION);
}

bool TMainForm::SortByExtension() const
{
    return (GetMenuState(toolsMenu_.get(), ids::kSort1Item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void TMainForm::SetSortByExtension(bool byExtension)
{
    CheckMenuRadioItem(toolsMenu_.get(), ids::kSort1Item, ids::kSort2Item,
                       byExtension ? ids::kSort1Item : ids::kSort2Item, MF_BYCOMMAND);
}

}  // namespace pakvane
