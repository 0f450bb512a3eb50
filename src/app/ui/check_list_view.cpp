#include "app/ui/check_list_view.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "app/ui/ui_text.h"
#include "app/ui/window_bridge.h"

namespace pakvane {

CheckListView::~CheckListView()
{
    Detach();
}

void CheckListView::Detach()
{
    if (list_ && listProcedure_ && IsWindow(list_)) {
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure_));
        SetWindowLongPtrW(list_, GWLP_USERDATA, 0);
    }
    list_ = nullptr;
    listProcedure_ = nullptr;
}

void CheckListView::Attach(HWND listBox, ControlHost& host, const DpiScale& scale, std::span<const CheckListKey> keys,
                           int openCommand)
{
    list_ = listBox;
    keys_.assign(keys.begin(), keys.end());
    openCommand_ = openCommand;
    scale_ = scale;
    host.Reflect(GetDlgCtrlID(listBox), *this);
    const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
    if ((style & (LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT)) != (LBS_NODATA | LBS_OWNERDRAWFIXED))
        throw std::logic_error("the check list needs an owner-drawn no-data list box");
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, RowHeight());
    // Subclassed the classic way: the common controls' SetWindowSubclass costs a property
    // lookup per message under Wine, which made filling a list of 200,000 rows take minutes.
    SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckListView::Procedure)));
    // The list box holds only a count; the texts are the model's, answered below. With the
    // strings style shown on the window, the system carries LB_GETTEXT to and from other
    // processes (screen readers, test drivers) as for any list box with strings; the list
    // box itself keeps the style it was created with.
    SetWindowLongPtrW(list_, GWL_STYLE, style | LBS_HASSTRINGS);
    OpenTheme();
}

void CheckListView::OpenTheme()
{
    theme_.reset(OpenThemeData(list_, L"BUTTON"));
}

LRESULT CALLBACK CheckListView::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CheckListView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->listProcedure_) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->listProcedure_;
        self->Detach();
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    }
    return GuardCallback("check list", 0, [&] { return self->HandleMessage(message, wParam, lParam); });
}

LRESULT CheckListView::CallList(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(listProcedure_, list_, message, wParam, lParam);
}

LRESULT CheckListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_LBUTTONDOWN: {
        // The list selects the row first; a click on its check box then switches it.
        const int index = ItemFromPoint(point);
        const LRESULT result = CallList(message, wParam, lParam);
        SyncSelectionFromView();
        if (index >= 0 && point.x < CheckAreaWidth()) Toggle(index);
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        // A quick second click on a check box switches it again; elsewhere it opens the row.
        const int index = ItemFromPoint(point);
        if (index >= 0 && point.x < CheckAreaWidth()) {
            Toggle(index);
            return 0;
        }
        break;
    }
    case WM_CHAR:
        if (wParam == L' ') {
            Toggle(model_.Selected());
            return 0;
        }
        // A Ctrl+letter command key is not also a search letter.
        for (const CheckListKey& key : keys_) {
            if (key.control && key.virtualKey >= 'A' && key.virtualKey <= 'Z' && wParam == key.virtualKey - 'A' + 1u)
                return 0;
        }
        if (wParam > L' ') {
            SelectByFirstLetter(static_cast<wchar_t>(wParam));
            return 0;
        }
        break;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
        if (wParam >= model_.Count()) return LB_ERR;
        const std::wstring text = WidenAnsi(model_.Row(wParam).text);
        if (message == LB_GETTEXT) {
            if (!lParam) return LB_ERR;
            std::copy_n(text.c_str(), text.size() + 1, reinterpret_cast<wchar_t*>(lParam));
        }
        return static_cast<LRESULT>(text.size());
    }
    case LB_GETITEMDATA:
        // What the row's check box shows: 1 ticked, 0 not.
        return wParam < shownChecks_.size() ? LRESULT{shownChecks_[wParam]} : LB_ERR;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
        if (!lParam) return LB_ERR;
        const int found =
            FindRow(static_cast<int>(wParam), reinterpret_cast<const wchar_t*>(lParam), message == LB_FINDSTRINGEXACT);
        if (found < 0) return LB_ERR;
        if (message == LB_SELECTSTRING) CallList(LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return found;
    }
    case WM_KEYDOWN: {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        const bool alt = GetKeyState(VK_MENU) < 0;
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        if (alt || shift) break;
        for (const CheckListKey& key : keys_) {
            if (key.virtualKey == wParam && key.control == control) {
                delegate_.CheckListCommand(key.command);
                return 0;
            }
        }
        break;
    }
    case WM_GETDLGCODE: {
        // Enter belongs to the list (it opens the row) rather than to dialog navigation.
        LRESULT code = CallList(message, wParam, lParam);
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_CONTEXTMENU: {
        POINT screen = point;
        if (lParam == -1) screen = KeyboardMenuPoint();
        delegate_.CheckListContextMenu(screen);
        return 0;
    }
    default:
        break;
    }
    return CallList(message, wParam, lParam);
}

bool CheckListView::OnCommandNotification(int code)
{
    if (code == LBN_SELCHANGE) {
        SyncSelectionFromView();
        return true;
    }
    if (code == LBN_DBLCLK) {
        delegate_.CheckListCommand(openCommand_);
        return true;
    }
    return false;
}

int CheckListView::ItemFromPoint(POINT point) const
{
    const LRESULT hit = SendMessageW(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit) != 0) return -1;  // outside the rows
    const int index = LOWORD(hit);
    return index < static_cast<int>(model_.Count()) ? index : -1;
}

void CheckListView::SyncSelectionFromView()
{
    const int selected = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    const int index = selected >= 0 && selected < static_cast<int>(model_.Count()) ? selected : -1;
    if (index == model_.Selected()) return;
    model_.Select(index);
    delegate_.CheckListSelectionChanged();
}

// As a list box with strings finds: the first row after `after` (-1: from the top) whose
// text starts with `text` (exact: is `text`), ignoring case, wrapping round; -1 for none.
int CheckListView::FindRow(int after, std::wstring_view text, bool exact) const
{
    const std::size_t count = model_.Count();
    const std::size_t start = after >= 0 && static_cast<std::size_t>(after) < count ? after + 1u : 0u;
    std::wstring row;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t i = (start + step) % count;
        WidenAnsiInto(model_.Row(i).text, row);
        const std::size_t compared = exact ? row.size() : std::min(row.size(), text.size());
        if (!exact && row.size() < text.size()) continue;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, row.c_str(), static_cast<int>(compared), text.data(),
                           static_cast<int>(text.size())) == CSTR_EQUAL)
            return static_cast<int>(i);
    }
    return -1;
}

void CheckListView::SelectByFirstLetter(wchar_t letter)
{
    const int found = FindRow(model_.Selected(), std::wstring_view(&letter, 1), false);
    if (found < 0) return;
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    SyncSelectionFromView();
}

void CheckListView::Toggle(int index)
{
    if (index < 0 || index >= static_cast<int>(model_.Count())) return;
    const auto row = static_cast<std::size_t>(index);
    model_.SetChecked(row, !model_.Row(row).checked);
    delegate_.CheckListToggled(index);
}

void CheckListView::Refresh()
{
    if (!list_) return;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    const LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
    // A count, not a copy of every row: linear in nothing but the visible rows.
    CallList(LB_SETCOUNT, model_.Count(), 0);
    shownChecks_.assign(model_.Count(), false);
    for (std::size_t i = 0; i < model_.Count(); ++i) shownChecks_[i] = model_.Row(i).checked;
    if (model_.Count() > 0) {
        SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(std::min<LRESULT>(top, model_.Count() - 1)), 0);
    }
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(model_.Selected()), 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

// Only check states changed: repaint the rows whose state the mirror does not show yet,
// rather than rebuilding a list that may hold hundreds of thousands of rows.
void CheckListView::RefreshChecks()
{
    if (!list_) return;
    if (shownChecks_.size() != model_.Count()) {
        Refresh();
        return;
    }
    for (std::size_t i = 0; i < model_.Count(); ++i) {
        const bool wanted = model_.Row(i).checked;
        if (shownChecks_[i] == wanted) continue;
        shownChecks_[i] = wanted;
        RECT item{};
        if (SendMessageW(list_, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)) != LB_ERR)
            InvalidateRect(list_, &item, FALSE);
    }
}

void CheckListView::RowRemoved(int index)
{
    if (!list_ || index < 0 || static_cast<std::size_t>(index) >= shownChecks_.size() ||
        shownChecks_.size() != model_.Count() + 1) {
        Refresh();
        return;
    }
    shownChecks_.erase(shownChecks_.begin() + index);
    // The rows below it move up: one shorter count and a repaint of what is visible.
    CallList(LB_SETCOUNT, model_.Count(), 0);
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(model_.Selected()), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

POINT CheckListView::KeyboardMenuPoint() const
{
    // Under the selected row, or at the list's corner.
    RECT row{};
    POINT point{0, 0};
    if (model_.Selected() >= 0 && SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(model_.Selected()),
                                               reinterpret_cast<LPARAM>(&row)) != LB_ERR) {
        point = POINT{row.left + CheckAreaWidth(), row.bottom};
    }
    ClientToScreen(list_, &point);
    return point;
}

bool CheckListView::OnMeasureItem(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_LISTBOX) return false;
    item.itemHeight = static_cast<UINT>(RowHeight());
    return true;
}

void CheckListView::DrawCheckBox(HDC dc, const RECT& area, bool checked, bool enabled) const
{
    if (HTHEME theme = static_cast<HTHEME>(theme_.get())) {
        const int state = checked ? (enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                                  : (enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED);
        SIZE size{scale_(kCheckBoxSize), scale_(kCheckBoxSize)};
        GetThemePartSize(theme, dc, BP_CHECKBOX, state, nullptr, TS_DRAW, &size);
        RECT box{area.left + (area.right - area.left - size.cx) / 2, area.top + (area.bottom - area.top - size.cy) / 2,
                 0, 0};
        box.right = box.left + size.cx;
        box.bottom = box.top + size.cy;
        DrawThemeBackground(theme, dc, BP_CHECKBOX, state, &box, &area);
        return;
    }
    // Classic look: a flat box a little smaller than the row, so neighbours do not touch.
    const int size = std::min(scale_(kCheckBoxSize), static_cast<int>(area.bottom - area.top) - scale_(2));
    RECT box{area.left + (area.right - area.left - size) / 2, area.top + (area.bottom - area.top - size) / 2, 0, 0};
    box.right = box.left + size;
    box.bottom = box.top + size;
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (checked) state |= DFCS_CHECKED;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);
}

// The check box, then the whole row text in one operation, 2 pixels in from the left, on
// the row's background.
bool CheckListView::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_LISTBOX) return false;
    RECT textArea = item.rcItem;
    textArea.left = std::min(static_cast<int>(textArea.left) + CheckAreaWidth(), static_cast<int>(textArea.right));
    const bool showFocus = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    if (item.itemAction == ODA_FOCUS) {
        if (static_cast<int>(item.itemID) >= 0) DrawFocusRect(item.hDC, &textArea);
        return true;
    }
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index >= static_cast<int>(model_.Count())) {
        if (showFocus) DrawFocusRect(item.hDC, &textArea);
        return true;
    }

    const bool enabled = IsWindowEnabled(list_) != FALSE;
    const AssociationRow& row = model_.Row(static_cast<std::size_t>(index));
    RECT checkArea = item.rcItem;
    checkArea.right = textArea.left;
    FillRect(item.hDC, &checkArea, GetSysColorBrush(COLOR_WINDOW));
    DrawCheckBox(item.hDC, checkArea, row.checked, enabled);

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring text = WidenAnsi(row.text);
    ExtTextOutW(item.hDC, textArea.left + scale_(kTextIndent), textArea.top, ETO_OPAQUE | ETO_CLIPPED, &textArea,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (showFocus) DrawFocusRect(item.hDC, &textArea);
    return true;
}

}  // namespace pakvane
