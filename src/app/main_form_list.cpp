// WCXList: the owner-drawn check list that shows the association list. The list box
// mirrors the row texts (for screen readers and test drivers); check states and the
// selection live in the model.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui_text.h"

namespace pakvane {

namespace {

constexpr UINT_PTR kListSubclassId = 1;
constexpr int kCheckBoxSize = 13;  // at 96 dpi
constexpr int kTextIndent = 2;

}  // namespace

void TMainForm::SubclassList()
{
    SetWindowSubclass(listBox_, &TMainForm::ListProcedure, kListSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TMainForm::ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &TMainForm::ListProcedure, kListSubclassId);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return GuardCallback("list procedure", 0, [&] {
        return reinterpret_cast<TMainForm*>(self)->WCXListMessage(message, wParam, lParam);
    });
}

LRESULT TMainForm::WCXListMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_LBUTTONDOWN: {
        // The list selects the row first; a click on its check box then switches it.
        const int index = ListItemFromPoint(point);
        const LRESULT result = DefSubclassProc(listBox_, message, wParam, lParam);
        SyncSelectionFromView();
        if (index >= 0 && point.x < CheckAreaWidth()) ToggleRowCheck(index);
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        // A quick second click on a check box switches it again; elsewhere it opens the row.
        const int index = ListItemFromPoint(point);
        if (index >= 0 && point.x < CheckAreaWidth()) {
            ToggleRowCheck(index);
            return 0;
        }
        break;
    }
    case WM_CHAR:
        if (wParam == L' ') {
            ToggleRowCheck(list_.Selected());
            return 0;
        }
        if (wParam == 0x1A) return 0;  // Ctrl+Z is the comment command, not a search letter
        break;
    case WM_KEYDOWN: {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        const bool alt = GetKeyState(VK_MENU) < 0;
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        int command = 0;
        if (!control && !alt && !shift) {
            if (wParam == VK_INSERT) command = ids::kAddItem;
            else if (wParam == VK_RETURN) command = ids::kPropItem;
            else if (wParam == VK_DELETE) command = ids::kDelItem;
        } else if (control && !alt && !shift && wParam == 'Z') {
            command = ids::kCommentItem;
        }
        if (command) {
            OnCommand(command);
            return 0;
        }
        break;
    }
    case WM_GETDLGCODE: {
        // Enter belongs to the list (it edits the row) rather than to dialog navigation.
        LRESULT code = DefSubclassProc(listBox_, message, wParam, lParam);
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    default:
        break;
    }
    return DefSubclassProc(listBox_, message, wParam, lParam);
}

int TMainForm::CheckAreaWidth() const
{
    return scale_(kCheckBoxSize + 2);
}

int TMainForm::ListItemFromPoint(POINT point) const
{
    const LRESULT hit = SendMessageW(listBox_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit) != 0) return -1;  // outside the rows
    const int index = LOWORD(hit);
    return index < static_cast<int>(list_.Count()) ? index : -1;
}

void TMainForm::RefreshList()
{
    if (!listBox_) return;
    SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
    const LRESULT top = SendMessageW(listBox_, LB_GETTOPINDEX, 0, 0);
    SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
    std::size_t characters = 0;
    for (const AssociationRow& row : list_.Rows()) characters += row.text.size() + 1;
    SendMessageW(listBox_, LB_INITSTORAGE, list_.Count(), static_cast<LPARAM>(characters * sizeof(wchar_t)));
    // The mirror carries each row's check state as its item data, so that tools reading the
    // list from outside (screen readers, test drivers) see it as well as the text.
    for (const AssociationRow& row : list_.Rows()) {
        const LRESULT at = SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidenAnsi(row.text).c_str()));
        if (at >= 0) SendMessageW(listBox_, LB_SETITEMDATA, static_cast<WPARAM>(at), row.checked ? 1 : 0);
    }
    if (list_.Count() > 0) {
        SendMessageW(listBox_, LB_SETTOPINDEX, static_cast<WPARAM>(std::min<LRESULT>(top, list_.Count() - 1)), 0);
    }
    SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(list_.Selected()), 0);
    SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(listBox_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void TMainForm::SyncSelectionFromView()
{
    const int selected = static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
    const int index = selected >= 0 && selected < static_cast<int>(list_.Count()) ? selected : -1;
    if (index == list_.Selected()) return;
    list_.Select(index);
    WCXListClick();
}

void TMainForm::ToggleRowCheck(int index)
{
    if (index < 0 || index >= static_cast<int>(list_.Count())) return;
    list_.SetChecked(static_cast<std::size_t>(index), !list_.Row(static_cast<std::size_t>(index)).checked);
    WCXListClickCheck();
}

// A check box changed (on the selected row): keep one switched-on row per extension.
void TMainForm::WCXListClickCheck()
{
    EnforceSingleEnabled();
    RefreshChecks();
}

// Only check states changed: repaint the rows whose state the mirror does not show yet,
// rather than rebuilding a list that may hold tens of thousands of rows.
void TMainForm::RefreshChecks()
{
    if (!listBox_) return;
    if (static_cast<std::size_t>(SendMessageW(listBox_, LB_GETCOUNT, 0, 0)) != list_.Count()) {
        RefreshList();
        return;
    }
    for (std::size_t i = 0; i < list_.Count(); ++i) {
        const LRESULT shown = SendMessageW(listBox_, LB_GETITEMDATA, i, 0);
        const LRESULT wanted = list_.Row(i).checked ? 1 : 0;
        if (shown == wanted) continue;
        SendMessageW(listBox_, LB_SETITEMDATA, i, wanted);
        RECT item{};
        if (SendMessageW(listBox_, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)) != LB_ERR)
            InvalidateRect(listBox_, &item, FALSE);
    }
}

// The memo shows the selected plugin's comment and version; both arrive later, so the
// memo stays empty for now.
void TMainForm::WCXListClick()
{
    SetMemoText(L"");
}

void TMainForm::WCXListContextMenu(LPARAM screenPoint)
{
    POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screenPoint == -1) {
        // From the keyboard: under the selected row, or at the list's corner.
        RECT row{};
        point = POINT{0, 0};
        if (list_.Selected() >= 0 &&
            SendMessageW(listBox_, LB_GETITEMRECT, static_cast<WPARAM>(list_.Selected()), reinterpret_cast<LPARAM>(&row)) !=
                LB_ERR) {
            point = POINT{row.left + CheckAreaWidth(), row.bottom};
        }
        ClientToScreen(listBox_, &point);
    }
    TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, Handle(),
                   nullptr);
}

void TMainForm::DrawCheckBox(HDC dc, const RECT& area, bool checked, bool enabled)
{
    if (HTHEME theme = static_cast<HTHEME>(listTheme_.get())) {
        const int state = checked ? (enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                                  : (enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED);
        SIZE size{scale_(kCheckBoxSize), scale_(kCheckBoxSize)};
        GetThemePartSize(theme, dc, BP_CHECKBOX, state, nullptr, TS_DRAW, &size);
        RECT box{area.left + (area.right - area.left - size.cx) / 2, area.top + (area.bottom - area.top - size.cy) / 2, 0, 0};
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

// The list draws the check box; the rest of the row shows the whole row text in one
// operation, 2 pixels in from the left, on the row's background.
void TMainForm::WCXListDrawItem(const DRAWITEMSTRUCT& item)
{
    RECT textArea = item.rcItem;
    textArea.left = std::min(static_cast<int>(textArea.left) + CheckAreaWidth(), static_cast<int>(textArea.right));
    const bool showFocus = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    if (item.itemAction == ODA_FOCUS) {
        if (static_cast<int>(item.itemID) >= 0) DrawFocusRect(item.hDC, &textArea);
        return;
    }
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index >= static_cast<int>(list_.Count())) {
        if (showFocus) DrawFocusRect(item.hDC, &textArea);
        return;
    }

    const bool enabled = IsWindowEnabled(listBox_) != FALSE;
    RECT checkArea = item.rcItem;
    checkArea.right = textArea.left;
    FillRect(item.hDC, &checkArea, GetSysColorBrush(COLOR_WINDOW));
    DrawCheckBox(item.hDC, checkArea, list_.Row(static_cast<std::size_t>(index)).checked, enabled);

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring text = WidenAnsi(list_.Row(static_cast<std::size_t>(index)).text);
    ExtTextOutW(item.hDC, textArea.left + scale_(kTextIndent), textArea.top, ETO_OPAQUE | ETO_CLIPPED, &textArea,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (showFocus) DrawFocusRect(item.hDC, &textArea);
}

}  // namespace pakvane
