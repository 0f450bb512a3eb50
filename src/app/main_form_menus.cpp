// The main window's menus, hints and captions, and the enabling of its commands.
#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <span>
#include <stdexcept>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui_text.h"

namespace pakvane {

namespace {

enum class MenuKind { Command, Radio, Separator, Submenu };

struct MenuItemEntry {
    int id;
    MenuKind kind;
    const wchar_t* shortcut;  // shown right-aligned after the caption
};

constexpr MenuItemEntry kSeparator{0, MenuKind::Separator, nullptr};

constexpr MenuItemEntry kPopupMenuItems[] = {
    {ids::kAddItem, MenuKind::Command, L"Ins"},
    {ids::kPropItem, MenuKind::Command, L"Enter"},
    kSeparator,
    {ids::kDelItem, MenuKind::Command, L"Del"},
    kSeparator,
    {ids::kCommentItem, MenuKind::Command, L"Ctrl+Z"},
};

constexpr MenuItemEntry kToolsMenuItems[] = {
    {ids::kSort1Item, MenuKind::Radio, nullptr},
    {ids::kSort2Item, MenuKind::Radio, nullptr},
    kSeparator,
    {ids::kDefComItem, MenuKind::Command, nullptr},
    kSeparator,
    {ids::kAutoItem, MenuKind::Command, nullptr},
    {ids::kDelAutoItem, MenuKind::Command, nullptr},
    kSeparator,
    {ids::kFindItem, MenuKind::Command, nullptr},
    kSeparator,
    {ids::kLngItem, MenuKind::Submenu, nullptr},
};

// The built-in language, then a separator after which the language files' items go.
constexpr MenuItemEntry kLanguageMenuItems[] = {
    {ids::kDefLngItem, MenuKind::Radio, nullptr},
    kSeparator,
};

// Where every caption and hint comes from, in the order they are applied.
enum class CaptionKind { PaddedGroup, Hint, MenuItem };

struct CaptionEntry {
    CaptionKind kind;
    int id;
    Str text;
};

constexpr CaptionEntry kCaptions[] = {
    {CaptionKind::PaddedGroup, ids::kGroupBox1, Str::IniGroup},
    {CaptionKind::Hint, ids::kOpenIniButton, Str::OpenFile},
    {CaptionKind::PaddedGroup, ids::kGroupBox2, Str::ListGroup},
    {CaptionKind::Hint, ids::kAddButton, Str::Add},
    {CaptionKind::MenuItem, ids::kAddItem, Str::Add},
    {CaptionKind::Hint, ids::kPropButton, Str::Properties},
    {CaptionKind::MenuItem, ids::kPropItem, Str::Properties},
    {CaptionKind::Hint, ids::kDelButton, Str::Delete},
    {CaptionKind::MenuItem, ids::kDelItem, Str::Delete},
    {CaptionKind::Hint, ids::kApplyButton, Str::Apply},
    {CaptionKind::Hint, ids::kCancelButton, Str::Cancel},
    {CaptionKind::MenuItem, ids::kSort1Item, Str::SortByExtension},
    {CaptionKind::MenuItem, ids::kSort2Item, Str::SortByPlugin},
    {CaptionKind::MenuItem, ids::kAutoItem, Str::AutoCommanderPath},
    {CaptionKind::MenuItem, ids::kDelAutoItem, Str::RemoveCommanderPath},
    {CaptionKind::MenuItem, ids::kLngItem, Str::Language},
    {CaptionKind::Hint, ids::kToolButton, Str::Extras},
    {CaptionKind::MenuItem, ids::kFindItem, Str::FindPlugins},
    {CaptionKind::MenuItem, ids::kDefLngItem, Str::DefaultLanguage},
    {CaptionKind::MenuItem, ids::kDefComItem, Str::DetermineCommanderPath},
    {CaptionKind::MenuItem, ids::kCommentItem, Str::Comment},
};

constexpr int kHintedButtons[] = {ids::kToolButton,  ids::kAddButton,    ids::kPropButton, ids::kDelButton,
                                  ids::kApplyButton, ids::kCancelButton, ids::kOpenIniButton};

UniqueMenu BuildMenu(std::span<const MenuItemEntry> items, HMENU submenu = nullptr)
{
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) throw std::runtime_error("CreatePopupMenu failed");
    UINT position = 0;
    for (const MenuItemEntry& item : items) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        info.wID = static_cast<UINT>(item.id);
        if (item.kind == MenuKind::Separator) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.fType = item.kind == MenuKind::Radio ? MFT_RADIOCHECK : MFT_STRING;
            info.dwTypeData = const_cast<wchar_t*>(L"");
        }
        if (item.kind == MenuKind::Submenu) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = submenu;
        }
        if (!InsertMenuItemW(menu.get(), position++, TRUE, &info)) throw std::runtime_error("InsertMenuItemW failed");
    }
    return menu;
}

// Finds an item by id in a menu or its submenus; items that open submenus count too.
bool FindMenuItem(HMENU menu, int id, HMENU& owner, UINT& position)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) || (info.fType & MFT_SEPARATOR)) continue;
        if (static_cast<int>(info.wID) == id) {
            owner = menu;
            position = static_cast<UINT>(i);
            return true;
        }
        if (info.hSubMenu && FindMenuItem(info.hSubMenu, id, owner, position)) return true;
    }
    return false;
}

const wchar_t* ShortcutOf(int id)
{
    for (const MenuItemEntry& item : kPopupMenuItems) {
        if (item.id == id && item.kind != MenuKind::Separator) return item.shortcut;
    }
    return nullptr;
}

}  // namespace

void TMainForm::CreateMenus()
{
    UniqueMenu language = BuildMenu(kLanguageMenuItems);
    toolsMenu_ = BuildMenu(kToolsMenuItems, language.get());
    languageMenu_ = language.release();  // now owned by the Tools menu
    popupMenu_ = BuildMenu(kPopupMenuItems);
    SetSortByExtension(true);
    CheckMenuRadioItem(languageMenu_, 0, GetMenuItemCount(languageMenu_) - 1, 0, MF_BYPOSITION);
}

// One tooltip control serves every image button; the texts come with ApplyCaptions.
void TMainForm::CreateTooltips()
{
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, instance_,
                               nullptr);
    if (!tooltip_) throw std::runtime_error("the tooltip control could not be created");
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    for (const int id : kHintedButtons) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TMainForm::SetHint(int controlId, const std::wstring& text)
{
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Control(controlId));
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TMainForm::SetMenuCaption(int id, const std::wstring& text)
{
    std::wstring caption = text;
    if (const wchar_t* shortcut = ShortcutOf(id)) caption.append(L"\t").append(shortcut);
    for (HMENU root : {popupMenu_.get(), toolsMenu_.get()}) {
        HMENU owner = nullptr;
        UINT position = 0;
        if (!FindMenuItem(root, id, owner, position)) continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = caption.data();
        SetMenuItemInfoW(owner, position, TRUE, &info);
        return;
    }
}

// Captions and hints from the current interface strings, all through the wide API so
// the built-in Cyrillic shows on any Windows.
void TMainForm::ApplyCaptions()
{
    for (const CaptionEntry& caption : kCaptions) {
        const UiText& text = strings_[caption.text];
        switch (caption.kind) {
        case CaptionKind::PaddedGroup: SetWindowTextW(Control(caption.id), Widen(Padded(text)).c_str()); break;
        case CaptionKind::Hint: SetHint(caption.id, Widen(text)); break;
        case CaptionKind::MenuItem: SetMenuCaption(caption.id, Widen(text)); break;
        }
    }
}

void TMainForm::EnableControl(int id, bool enabled)
{
    HWND control = Control(id);
    // A control that loses its enabling hands the keyboard focus to the list.
    if (!enabled && GetFocus() == control) SetFocus(listBox_);
    EnableWindow(control, enabled);
}

void TMainForm::SetCommandEnabled(int controlId, int menuItemId, bool enabled)
{
    EnableControl(controlId, enabled);
    EnableMenuItem(popupMenu_.get(), static_cast<UINT>(menuItemId), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TMainForm::DisableListCommands()
{
    SetCommandEnabled(ids::kAddButton, ids::kAddItem, false);
    SetCommandEnabled(ids::kPropButton, ids::kPropItem, false);
    SetCommandEnabled(ids::kDelButton, ids::kDelItem, false);
    SetUnsavedChanges(false);
}

void TMainForm::EnableAddCommands()
{
    SetCommandEnabled(ids::kAddButton, ids::kAddItem, true);
}

void TMainForm::EnableRowCommands()
{
    SetCommandEnabled(ids::kPropButton, ids::kPropItem, true);
    SetCommandEnabled(ids::kDelButton, ids::kDelItem, true);
}

bool TMainForm::HasUnsavedChanges() const
{
    return IsWindowEnabled(GetDlgItem(Handle(), ids::kApplyButton)) != FALSE;
}

void TMainForm::SetUnsavedChanges(bool changed)
{
    EnableControl(ids::kApplyButton, changed);
}

// The Tools menu opens under the button, its top-left corner at the button's bottom-left.
void TMainForm::ToolButtonClick()
{
    HWND button = Control(ids::kToolButton);
    RECT bounds{};
    GetWindowRect(button, &bounds);
    POINT corner{bounds.left, bounds.top};
    ScreenToClient(GetParent(button), &corner);
    corner.y += bounds.bottom - bounds.top;
    ClientToScreen(GetParent(button), &corner);
    TrackPopupMenu(toolsMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, corner.x, corner.y, 0, Handle(),
                   nullptr);
}

}  // namespace pakvane
