#pragma once
// Menus as data: one row per item with its id, kind, caption and shown shortcut. The same
// rows build the menu and caption it.
#include <windows.h>

#include <span>
#include <string>

#include "app/ui/win32_handles.h"
#include "i18n/interface_strings.h"

namespace pakvane {

enum class MenuKind { Command, Radio, Separator, Submenu };

struct MenuRow {
    int id;  // 0 for a separator
    MenuKind kind;
    Str caption = Str::IniGroup;  // unused for separators
    const wchar_t* shortcut = nullptr;  // shown right-aligned after the caption
};

constexpr MenuRow kMenuSeparator{0, MenuKind::Separator};

// Builds a pop-up menu from the rows; a Submenu row opens `submenu`, which the new menu
// then owns. Throws on failure.
UniqueMenu BuildMenu(std::span<const MenuRow> rows, HMENU submenu = nullptr);

// Appends a radio item with a caption of its own (not from the interface strings);
// returns whether it was added.
bool AppendRadioItem(HMENU menu, int id, const std::wstring& caption);

// Captions the rows' items wherever they stand below `menu` (submenus included).
void ApplyMenuCaptions(HMENU menu, std::span<const MenuRow> rows, const InterfaceStrings& strings);

// Finds an item by id in a menu or its submenus; items that open submenus count too.
bool FindMenuItem(HMENU menu, int id, HMENU& owner, UINT& position);

// Sets an item's text (found as FindMenuItem does); returns whether it was found.
bool SetMenuItemText(HMENU menu, int id, const std::wstring& text);

// The caption an item shows: its string and, after a tab, its shortcut.
std::wstring MenuCaption(const MenuRow& row, const InterfaceStrings& strings);

}  // namespace pakvane
