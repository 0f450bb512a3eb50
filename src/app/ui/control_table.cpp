#include "app/ui/control_table.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "app/ui/ui_text.h"

namespace pakvane {

namespace {

constexpr UINT_PTR kGroupBoxSubclassId = 0x6762;

// A group box paints only its frame and caption; its inside is filled here, so that a
// window that clips its children leaves no part of the group unpainted.
LRESULT CALLBACK GroupBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &GroupBoxProcedure, kGroupBoxSubclassId);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool IsGroupBox(const ControlRow& row)
{
    return row.className && lstrcmpiW(row.className, L"BUTTON") == 0 && (row.style & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

bool HasDesignPlace(const ControlRow& row)
{
    return row.place.width != 0 || row.place.height != 0 || row.place.x != 0 || row.place.y != 0;
}

// Edges are scaled rather than sizes, so that neighbours that touch in the design still
// touch, and nothing leaves its parent, at any DPI.
RECT PlaceControl(const ControlRow& row, const DpiScale& scale, int dx, int dy)
{
    RECT r{scale(row.place.x), scale(row.place.y), scale(row.place.x + row.place.width),
           scale(row.place.y + row.place.height)};
    if ((row.anchors & kAnchorLeft) && (row.anchors & kAnchorRight)) {
        r.right += dx;
    } else if (row.anchors & kAnchorRight) {
        r.left += dx;
        r.right += dx;
    }
    if ((row.anchors & kAnchorTop) && (row.anchors & kAnchorBottom)) {
        r.bottom += dy;
    } else if (row.anchors & kAnchorBottom) {
        r.top += dy;
        r.bottom += dy;
    }
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

void HintTooltip::Create(HWND owner, HFONT font)
{
    owner_ = owner;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
    if (!tooltip_) throw std::runtime_error("the tooltip control could not be created");
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void HintTooltip::Add(HWND control)
{
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HintTooltip::SetText(HWND control, const std::wstring& text)
{
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CreateControls(HWND parent, std::span<const ControlRow> rows, HINSTANCE instance, HFONT font, HintTooltip* hints,
                    const std::function<HWND(const ControlRow&)>& makeCustom)
{
    for (const ControlRow& row : rows) {
        HWND control = nullptr;
        if (row.className) {
            control = CreateWindowExW(row.exStyle, row.className, L"", row.style, 0, 0, 0, 0, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        } else if (makeCustom) {
            control = makeCustom(row);
        }
        if (!control) throw std::runtime_error("control " + std::to_string(row.id) + " could not be created");
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (IsGroupBox(row)) SetWindowSubclass(control, &GroupBoxProcedure, kGroupBoxSubclassId, 0);
        if (hints && row.captionKind == CaptionKind::Hint) hints->Add(control);
    }
    // Group boxes go under everything else, so they never paint over the controls they
    // frame; they take no focus, so the Tab order stays the rows' order.
    for (const ControlRow& row : rows) {
        if (IsGroupBox(row)) {
            SetWindowPos(GetDlgItem(parent, row.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

ControlPlacer::ControlPlacer(HWND parent, int count) : parent_(parent), defer_(BeginDeferWindowPos(count)) {}

ControlPlacer::~ControlPlacer()
{
    if (defer_) EndDeferWindowPos(defer_);
}

void ControlPlacer::Place(HWND control, const RECT& r)
{
    RECT now{};
    GetWindowRect(control, &now);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&now), 2);
    if (EqualRect(&now, &r)) return;
    if (defer_) {
        defer_ = DeferWindowPos(defer_, control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void LayoutControls(HWND parent, std::span<const ControlRow> rows, const DpiScale& scale, SIZE designClient)
{
    RECT client{};
    GetClientRect(parent, &client);
    const int dx = client.right - scale(designClient.cx);
    const int dy = client.bottom - scale(designClient.cy);
    ControlPlacer placer(parent, static_cast<int>(rows.size()));
    for (const ControlRow& row : rows) {
        if (HasDesignPlace(row)) placer.Place(GetDlgItem(parent, row.id), PlaceControl(row, scale, dx, dy));
    }
}

std::wstring ControlCaption(const ControlRow& row, const InterfaceStrings& strings)
{
    switch (row.captionKind) {
    case CaptionKind::Text:
    case CaptionKind::Hint:
        return Widen(strings[row.caption]);
    case CaptionKind::PaddedGroup:
        return Widen(Padded(strings[row.caption]));
    case CaptionKind::Fixed:
        return row.fixedCaption ? row.fixedCaption : L"";
    case CaptionKind::None:
        break;
    }
    return {};
}

void ApplyControlCaptions(HWND parent, std::span<const ControlRow> rows, const InterfaceStrings& strings,
                          HintTooltip* hints)
{
    for (const ControlRow& row : rows) {
        if (row.captionKind == CaptionKind::None) continue;
        HWND control = GetDlgItem(parent, row.id);
        const std::wstring text = ControlCaption(row, strings);
        if (row.captionKind == CaptionKind::Hint) {
            if (hints) hints->SetText(control, text);
        } else {
            SetWindowTextW(control, text.c_str());
        }
    }
}

}  // namespace pakvane
