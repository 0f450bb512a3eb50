// The main window's controls and menus as tables, and their layout: where each control
// stands at 96 dpi, how it follows the window's size, and the splitter between the list
// and the memo.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <stdexcept>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/main_form_design.h"
#include "app/memo_bounds.h"
#include "app/ui/ui_font.h"

namespace pakvane {

namespace {

constexpr int kSplitterMinSize = 50;
constexpr int kSplitterHeight = 3;
constexpr int kGroupInset = 2;  // the group box's frame around its contents

constexpr DWORD kImageButton = kChildStyle | WS_TABSTOP | WS_GROUP | BS_OWNERDRAW;
constexpr unsigned kTopRight = kAnchorTop | kAnchorRight;
constexpr unsigned kBottomRight = kAnchorBottom | kAnchorRight;

// In focus order first (the list, the memo, then the buttons), then the ones that take no
// focus. The group boxes come last so that they lie under everything else. The list,
// splitter and memo fill the list group instead of a place of their own (LayoutControls).
constexpr ControlRow kControls[] = {
    {ids::kWcxList,
     L"LISTBOX",
     kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOTIFY |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE,
     {},
     0},
    {ids::kCommMemo,
     L"EDIT",
     kChildStyle | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE,
     {},
     0},
    {ids::kToolButton, L"BUTTON", kImageButton, 0, {408, 56, 25, 25}, kTopRight, CaptionKind::Hint, Str::Extras},
    {ids::kAddButton, L"BUTTON", kImageButton, 0, {408, 88, 25, 25}, kTopRight, CaptionKind::Hint, Str::Add},
    {ids::kPropButton, L"BUTTON", kImageButton, 0, {408, 112, 25, 25}, kTopRight, CaptionKind::Hint, Str::Properties},
    {ids::kDelButton, L"BUTTON", kImageButton, 0, {408, 144, 25, 25}, kTopRight, CaptionKind::Hint, Str::Delete},
    {ids::kApplyButton, L"BUTTON", kImageButton, 0, {408, 216, 25, 25}, kBottomRight, CaptionKind::Hint, Str::Apply},
    {ids::kCancelButton, L"BUTTON", kImageButton, 0, {408, 240, 25, 25}, kBottomRight, CaptionKind::Hint, Str::Cancel},
    {ids::kOpenIniButton, L"BUTTON", kImageButton, 0, {405, 14, 25, 25}, kTopRight, CaptionKind::Hint, Str::OpenFile},
    {ids::kIniShow,
     L"STATIC",
     kChildStyle | SS_LEFT | SS_SUNKEN | SS_NOPREFIX | SS_PATHELLIPSIS | SS_CENTERIMAGE,
     0,
     {10, 16, 385, 21},
     kAnchorTopLeft | kAnchorRight},
    {ids::kSplitter1, nullptr, 0, 0, {}, 0},  // the splitter's own window class
    {ids::kGroupBox1,
     L"BUTTON",
     kChildStyle | BS_GROUPBOX,
     0,
     {0, 0, 438, 49},
     kAnchorTopLeft | kAnchorRight,
     CaptionKind::PaddedGroup,
     Str::IniGroup},
    {ids::kGroupBox2,
     L"BUTTON",
     kChildStyle | BS_GROUPBOX,
     0,
     {0, 49, 401, 217},
     kAnchorTopLeft | kAnchorRight | kAnchorBottom,
     CaptionKind::PaddedGroup,
     Str::ListGroup},
};

constexpr ImageButtonRow kImageButtons[] = {
    {ids::kOpenIniButton, L"OPEN"}, {ids::kAddButton, L"APPEND"}, {ids::kPropButton, L"PROP"},
    {ids::kDelButton, L"DEL"},      {ids::kApplyButton, L"SAVE"}, {ids::kCancelButton, L"CANCEL"},
    {ids::kToolButton, L"TOOLS"},
};

// The list menu's commands by key while the list has the focus.
constexpr CheckListKey kListKeys[] = {
    {VK_INSERT, false, ids::kAddItem},
    {VK_RETURN, false, ids::kPropItem},
    {VK_DELETE, false, ids::kDelItem},
    {'Z', true, ids::kCommentItem},
};

constexpr MenuRow kPopupMenu[] = {
    {ids::kAddItem, MenuKind::Command, Str::Add, L"Ins"},
    {ids::kPropItem, MenuKind::Command, Str::Properties, L"Enter"},
    kMenuSeparator,
    {ids::kDelItem, MenuKind::Command, Str::Delete, L"Del"},
    kMenuSeparator,
    {ids::kCommentItem, MenuKind::Command, Str::Comment, L"Ctrl+Z"},
};

constexpr MenuRow kToolsMenu[] = {
    {ids::kSort1Item, MenuKind::Radio, Str::SortByExtension},
    {ids::kSort2Item, MenuKind::Radio, Str::SortByPlugin},
    kMenuSeparator,
    {ids::kDefComItem, MenuKind::Command, Str::DetermineCommanderPath},
    kMenuSeparator,
    {ids::kAutoItem, MenuKind::Command, Str::AutoCommanderPath},
    {ids::kDelAutoItem, MenuKind::Command, Str::RemoveCommanderPath},
    kMenuSeparator,
    {ids::kFindItem, MenuKind::Command, Str::FindPlugins},
    kMenuSeparator,
    {ids::kLngItem, MenuKind::Submenu, Str::Language},
};

// The built-in language, then a separator after which the language files' items go.
constexpr MenuRow kLanguageMenu[] = {
    {ids::kDefLngItem, MenuKind::Radio, Str::DefaultLanguage},
    kMenuSeparator,
};

static_assert(IdsAreUnique(kControls, kPopupMenu, kToolsMenu, kLanguageMenu));

// Every menu's rows in one list, for captions and for checks over all of them.
constexpr auto kAllMenuRows = [] {
    std::array<MenuRow, std::size(kPopupMenu) + std::size(kToolsMenu) + std::size(kLanguageMenu)> all{};
    std::size_t at = 0;
    for (const MenuRow& row : kPopupMenu) all[at++] = row;
    for (const MenuRow& row : kToolsMenu) all[at++] = row;
    for (const MenuRow& row : kLanguageMenu) all[at++] = row;
    return all;
}();

const ControlRow& RowOf(int id)
{
    return *std::find_if(std::begin(kControls), std::end(kControls),
                         [id](const ControlRow& row) { return row.id == id; });
}

}  // namespace

std::span<const ControlRow> TMainForm::ControlRows()
{
    return kControls;
}

std::span<const MenuRow> TMainForm::MenuRows()
{
    return kAllMenuRows;
}

void TMainForm::CreateControls()
{
    font_ = CreateUiFont(scale_);
    if (WindowDc screen{Handle()}) {
        SelectedObject font(screen.Get(), font_.get());
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(screen.Get(), &metrics)) captionHeight_ = metrics.tmHeight;
    }
    hints_.Create(Handle(), font_.get());
    pakvane::CreateControls(Handle(), kControls, instance_, font_.get(), &hints_, [this](const ControlRow& row) {
        splitter_.Create(Handle(), row.id, instance_);
        return splitter_.Handle();
    });
    listView_.Attach(Control(ids::kWcxList), *this, scale_, kListKeys, ids::kPropItem);
    imageButtons_.Attach(Handle(), *this, kImageButtons);
    controlsCreated_ = true;
    LayoutControls();
}

void TMainForm::CreateMenus()
{
    UniqueMenu language = BuildMenu(kLanguageMenu);
    toolsMenu_ = BuildMenu(kToolsMenu, language.get());
    languageMenu_ = language.release();  // now owned by the Tools menu
    popupMenu_ = BuildMenu(kPopupMenu);
}

// Captions, hints and menu items from the current interface strings, all through the
// wide API so the built-in Cyrillic shows on any Windows.
void TMainForm::ApplyCaptions()
{
    ApplyControlCaptions(Handle(), kControls, strings_, &hints_);
    ApplyMenuCaptions(popupMenu_.get(), kPopupMenu, strings_);
    ApplyMenuCaptions(toolsMenu_.get(), kToolsMenu, strings_);
    ApplyMenuCaptions(toolsMenu_.get(), kLanguageMenu, strings_);
}

int TMainForm::GroupBox2Height() const
{
    RECT group{};
    GetWindowRect(Control(ids::kGroupBox2), &group);
    return group.bottom - group.top;
}

// Places every control for the present client size. The memo keeps its height within
// its bounds; the list takes what the splitter and the memo leave in the list group.
void TMainForm::LayoutControls()
{
    if (!controlsCreated_) return;
    const SIZE design{design::kClientWidth, design::kClientHeight};
    pakvane::LayoutControls(Handle(), kControls, scale_, design);

    RECT client{};
    GetClientRect(Handle(), &client);
    const RECT group = PlaceControl(RowOf(ids::kGroupBox2), scale_, client.right - scale_(design.cx),
                                    client.bottom - scale_(design.cy));
    memoHeight_ = FitMemoHeight(memoHeight_, group.bottom - group.top, scale_(kSplitterMinSize));
    const int inset = scale_(kGroupInset);
    const RECT inner{group.left + inset, group.top + captionHeight_ + inset, group.right - inset, group.bottom - inset};
    const int memoTop = std::max(static_cast<int>(inner.bottom) - memoHeight_, static_cast<int>(inner.top));
    const int splitterTop = std::max(memoTop - scale_(kSplitterHeight), static_cast<int>(inner.top));
    ControlPlacer placer(Handle(), 3);
    placer.Place(Control(ids::kCommMemo), RECT{inner.left, memoTop, inner.right, memoTop + memoHeight_});
    placer.Place(Control(ids::kSplitter1), RECT{inner.left, splitterTop, inner.right, memoTop});
    placer.Place(Control(ids::kWcxList), RECT{inner.left, inner.top, inner.right, splitterTop});
}

void TMainForm::SetMemoHeight(int height)
{
    memoHeight_ = height;
    LayoutControls();
}

std::optional<int> TMainForm::SplitterProposeOffset(int offset)
{
    const std::optional<int> accepted = AcceptSplitterMemoHeight(memoHeight_ - offset, GroupBox2Height(),
                                                                 scale_(kSplitterMinSize), scale_(kSplitterHeight));
    if (!accepted) return std::nullopt;
    return memoHeight_ - *accepted;
}

void TMainForm::SplitterApplyOffset(int offset)
{
    SetMemoHeight(memoHeight_ - offset);
}

// The read-only memo shows on the button face colour.
LRESULT TMainForm::ColorStatic(HDC dc, HWND control)
{
    if (control == Control(ids::kCommMemo)) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcW(Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

}  // namespace pakvane
