#include "app/ui/menu_table.h"

#include <stdexcept>

#include "app/ui/ui_text.h"

namespace pakvane {

UniqueMenu BuildMenu(std::span<const MenuRow> rows, HMENU submenu)
{
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) throw std::runtime_error("CreatePopupMenu failed");
    UINT position = 0;
    for (const MenuRow& row : rows) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        info.wID = static_cast<UINT>(row.id);
        if (row.kind == MenuKind::Separator) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.fType = row.kind == MenuKind::Radio ? MFT_RADIOCHECK : MFT_STRING;
            info.dwTypeData = const_cast<wchar_t*>(L"");
        }
        if (row.kind == MenuKind::Submenu) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = submenu;
        }
        if (!InsertMenuItemW(menu.get(), position++, TRUE, &info)) throw std::runtime_error("InsertMenuItemW failed");
    }
    return menu;
}

bool AppendRadioItem(HMENU menu, int id, const std::wstring& caption)
{
    std::wstring text = caption;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.fType = MFT_RADIOCHECK;
    info.wID = static_cast<UINT>(id);
    info.dwTypeData = text.data();
    return InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info) != FALSE;
}

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

bool SetMenuItemText(HMENU menu, int id, const std::wstring& text)
{
    HMENU owner = nullptr;
    UINT position = 0;
    if (!FindMenuItem(menu, id, owner, position)) return false;
    std::wstring caption = text;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    return SetMenuItemInfoW(owner, position, TRUE, &info) != FALSE;
}

std::wstring MenuCaption(const MenuRow& row, const InterfaceStrings& strings)
{
    std::wstring caption = Widen(strings[row.caption]);
    if (row.shortcut) caption.append(L"\t").append(row.shortcut);
    return caption;
}

void ApplyMenuCaptions(HMENU menu, std::span<const MenuRow> rows, const InterfaceStrings& strings)
{
    for (const MenuRow& row : rows) {
        if (row.kind != MenuKind::Separator) SetMenuItemText(menu, row.id, MenuCaption(row, strings));
    }
}

}  // namespace pakvane
