// The main window's controls: what they are, where they stand at 96 dpi, how they follow
// the window's size, and the splitter between the list and the memo.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include <uxtheme.h>

#include "app/button_images.h"
#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/main_form_design.h"
#include "app/memo_bounds.h"
#include "app/ui_font.h"

namespace pakvane {

namespace {

constexpr int kSplitterMinSize = 50;
constexpr int kSplitterHeight = 3;
constexpr int kGroupInset = 2;  // the group box's frame around its contents

enum Anchor : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };

// Controls, in focus order first (the list, the memo, then the buttons), then the ones
// that take no focus. The group boxes come last so that they lie under everything else.
struct ControlEntry {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kImageButton = kChild | WS_TABSTOP | WS_GROUP | BS_OWNERDRAW;

constexpr ControlEntry kControls[] = {
    {ids::kWcxList, L"LISTBOX",
     kChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE},
    {ids::kCommMemo, L"EDIT", kChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE},
    {ids::kToolButton, L"BUTTON", kImageButton, 0},
    {ids::kAddButton, L"BUTTON", kImageButton, 0},
    {ids::kPropButton, L"BUTTON", kImageButton, 0},
    {ids::kDelButton, L"BUTTON", kImageButton, 0},
    {ids::kApplyButton, L"BUTTON", kImageButton, 0},
    {ids::kCancelButton, L"BUTTON", kImageButton, 0},
    {ids::kOpenIniButton, L"BUTTON", kImageButton, 0},
    {ids::kIniShow, L"STATIC", kChild | SS_LEFT | SS_SUNKEN | SS_NOPREFIX | SS_PATHELLIPSIS | SS_CENTERIMAGE, 0},
    {ids::kSplitter1, nullptr, 0, 0},  // the splitter's own window class
    {ids::kGroupBox1, L"BUTTON", kChild | BS_GROUPBOX, 0},
    {ids::kGroupBox2, L"BUTTON", kChild | BS_GROUPBOX, 0},
};

// Places at 96 dpi in the client area of the design, and the sides they keep their
// distance to. The list, splitter and memo fill the list group instead (LayoutControls).
struct ControlPlace {
    int id;
    int x, y, width, height;
    unsigned anchors;
};

constexpr ControlPlace kPlaces[] = {
    {ids::kGroupBox1, 0, 0, 438, 49, kLeft | kTop | kRight},
    {ids::kIniShow, 10, 16, 385, 21, kLeft | kTop | kRight},
    {ids::kOpenIniButton, 405, 14, 25, 25, kTop | kRight},
    {ids::kGroupBox2, 0, 49, 401, 217, kLeft | kTop | kRight | kBottom},
    {ids::kToolButton, 408, 56, 25, 25, kTop | kRight},
    {ids::kAddButton, 408, 88, 25, 25, kTop | kRight},
    {ids::kPropButton, 408, 112, 25, 25, kTop | kRight},
    {ids::kDelButton, 408, 144, 25, 25, kTop | kRight},
    {ids::kApplyButton, 408, 216, 25, 25, kRight | kBottom},
    {ids::kCancelButton, 408, 240, 25, 25, kRight | kBottom},
};

// A control's rectangle for a client area grown by (dx, dy) over the design.
RECT PlaceRect(const ControlPlace& place, const DpiScale& scale, int dx, int dy)
{
    int x = scale(place.x), y = scale(place.y), width = scale(place.width), height = scale(place.height);
    if ((place.anchors & kLeft) && (place.anchors & kRight)) width += dx;
    else if (place.anchors & kRight) x += dx;
    if ((place.anchors & kTop) && (place.anchors & kBottom)) height += dy;
    else if (place.anchors & kBottom) y += dy;
    return RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

const ControlPlace& PlaceOf(int id)
{
    return *std::find_if(std::begin(kPlaces), std::end(kPlaces), [id](const ControlPlace& p) { return p.id == id; });
}

// Image buttons and their bitmap resources (the image index is the position here).
constexpr int kImageButtonIds[] = {
    ids::kOpenIniButton, ids::kAddButton, ids::kPropButton, ids::kDelButton,
    ids::kApplyButton,   ids::kCancelButton, ids::kToolButton,
};
constexpr const wchar_t* kImageNames[] = {L"OPEN", L"APPEND", L"PROP", L"DEL", L"SAVE", L"CANCEL", L"TOOLS"};
static_assert(std::size(kImageButtonIds) == std::size(kImageNames));

constexpr UINT_PTR kGroupBoxSubclassId = 2;

}  // namespace

void TMainForm::CreateControls()
{
    font_ = CreateUiFont(scale_);
    if (HDC screen = GetDC(Handle())) {
        HGDIOBJ old = SelectObject(screen, font_.get());
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(screen, &metrics)) captionHeight_ = metrics.tmHeight;
        SelectObject(screen, old);
        ReleaseDC(Handle(), screen);
    }

    for (const ControlEntry& entry : kControls) {
        HWND control = nullptr;
        if (entry.id == ids::kSplitter1) {
            splitter_.Create(Handle(), entry.id, instance_);
            control = splitter_.Handle();
        } else {
            control = CreateWindowExW(entry.exStyle, entry.className, L"", entry.style, 0, 0, 0, 0, Handle(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance_, nullptr);
        }
        if (!control) throw std::runtime_error("a control of the main window could not be created");
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    listBox_ = Control(ids::kWcxList);
    SendMessageW(listBox_, LB_SETITEMHEIGHT, 0, RowHeight());
    SubclassList();
    for (const int id : {ids::kGroupBox1, ids::kGroupBox2}) {
        SetWindowSubclass(Control(id), &TMainForm::GroupBoxProcedure, kGroupBoxSubclassId, 0);
    }
    OpenThemes();
    controlsCreated_ = true;
    LayoutControls();
}

// The disabled images take the system colours, so they are made again when those change.
void TMainForm::LoadButtonImages()
{
    buttonImages_.Load(instance_, kImageNames, scale_);
    for (const int id : kImageButtonIds) InvalidateRect(Control(id), nullptr, TRUE);
}

void TMainForm::OpenThemes()
{
    buttonTheme_.reset(OpenThemeData(Control(ids::kToolButton), L"BUTTON"));
    listTheme_.reset(OpenThemeData(listBox_, L"BUTTON"));
}

void TMainForm::DrawImageButton(const DRAWITEMSTRUCT& item)
{
    const auto found = std::find(std::begin(kImageButtonIds), std::end(kImageButtonIds), static_cast<int>(item.CtlID));
    const int index = found == std::end(kImageButtonIds) ? -1 : static_cast<int>(found - std::begin(kImageButtonIds));
    buttonImages_.DrawButton(item, index, static_cast<HTHEME>(buttonTheme_.get()));
}

// A group box paints only its frame and caption; its inside is filled here, so that the
// window can clip its children without leaving the group's inside unpainted.
LRESULT CALLBACK TMainForm::GroupBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR)
{
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &TMainForm::GroupBoxProcedure, kGroupBoxSubclassId);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

int TMainForm::GroupBox2Height() const
{
    RECT group{};
    GetWindowRect(GetDlgItem(Handle(), ids::kGroupBox2), &group);
    return group.bottom - group.top;
}

// Places every control for the present client size. The memo keeps its height within
// its bounds; the list takes what the splitter and the memo leave in the list group.
void TMainForm::LayoutControls()
{
    if (!controlsCreated_) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int dx = client.right - scale_(design::kClientWidth);
    const int dy = client.bottom - scale_(design::kClientHeight);

    HDWP defer = BeginDeferWindowPos(static_cast<int>(std::size(kPlaces)) + 3);
    auto place = [&](int id, const RECT& r) {
        HWND control = Control(id);
        if (defer) defer = DeferWindowPos(defer, control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                          SWP_NOZORDER | SWP_NOACTIVATE);
        else MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    };
    for (const ControlPlace& p : kPlaces) place(p.id, PlaceRect(p, scale_, dx, dy));

    const RECT group = PlaceRect(PlaceOf(ids::kGroupBox2), scale_, dx, dy);
    memoHeight_ = FitMemoHeight(memoHeight_, group.bottom - group.top, scale_(kSplitterMinSize));
    const int inset = scale_(kGroupInset);
    const RECT inner{group.left + inset, group.top + captionHeight_ + inset, group.right - inset, group.bottom - inset};
    const int memoTop = std::max(static_cast<int>(inner.bottom) - memoHeight_, static_cast<int>(inner.top));
    const int splitterTop = std::max(memoTop - scale_(kSplitterHeight), static_cast<int>(inner.top));
    place(ids::kCommMemo, RECT{inner.left, memoTop, inner.right, memoTop + memoHeight_});
    place(ids::kSplitter1, RECT{inner.left, splitterTop, inner.right, memoTop});
    place(ids::kWcxList, RECT{inner.left, inner.top, inner.right, splitterTop});
    if (defer) EndDeferWindowPos(defer);
}

void TMainForm::SetMemoHeight(int height)
{
    memoHeight_ = height;
    LayoutControls();
}

std::optional<int> TMainForm::SplitterProposeOffset(int offset)
{
    const std::optional<int> accepted = AcceptSplitterMemoHeight(
        memoHeight_ - offset, GroupBox2Height(), scale_(kSplitterMinSize), scale_(kSplitterHeight));
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
