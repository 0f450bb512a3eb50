#pragma once
// A window's controls as data: one row per control with its class, styles, place at 96
// dpi, anchors and caption. The same rows create the controls, lay them out for the
// window's present size and DPI, and caption them, so a control cannot exist without its
// place or its caption.
#include <windows.h>

#include <functional>
#include <span>
#include <string>

#include "app/ui/dpi.h"
#include "i18n/interface_strings.h"

namespace pakvane {

enum Anchor : unsigned { kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8 };
constexpr unsigned kAnchorTopLeft = kAnchorLeft | kAnchorTop;

enum class CaptionKind {
    None,  // no caption (lists, edits filled by the program)
    Text,  // the interface string as the control's text
    PaddedGroup,  // the interface string with one space on each side (group boxes)
    Hint,  // the interface string as the control's tooltip
    Fixed,  // a fixed text of the program, not translated
};

struct DesignRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct ControlRow {
    int id;
    const wchar_t* className;  // null: the window makes this control itself
    DWORD style;
    DWORD exStyle;
    DesignRect place;  // client coordinates of the design; all zero: placed by the window
    unsigned anchors;  // sides whose distance the control keeps as the window grows
    CaptionKind captionKind = CaptionKind::None;
    Str caption = Str::IniGroup;  // for Text, PaddedGroup and Hint
    const wchar_t* fixedCaption = nullptr;  // for Fixed
};

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// True when no id occurs twice in the tables given (0 counts as "no id" and may repeat).
// Meant for static_assert over a window's control and menu tables.
template <class... Tables>
constexpr bool IdsAreUnique(const Tables&... tables)
{
    int ids[512] = {};
    int count = 0;
    auto collect = [&](const auto& table) {
        for (const auto& row : table) {
            if (row.id != 0 && count < 512) ids[count++] = row.id;
        }
    };
    (collect(tables), ...);
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            if (ids[i] == ids[j]) return false;
        }
    }
    return true;
}

// A control's rectangle for a client area grown by (dx, dy) over the design's.
RECT PlaceControl(const ControlRow& row, const DpiScale& scale, int dx, int dy);
bool HasDesignPlace(const ControlRow& row);

// The one tooltip control of a window, serving every control with a hint.
class HintTooltip {
public:
    HintTooltip() = default;
    HintTooltip(const HintTooltip&) = delete;
    HintTooltip& operator=(const HintTooltip&) = delete;

    void Create(HWND owner, HFONT font);  // throws on failure; the owner destroys it
    void Add(HWND control);
    void SetText(HWND control, const std::wstring& text);
    HWND Handle() const { return tooltip_; }

private:
    HWND tooltip_ = nullptr;
    HWND owner_ = nullptr;
};

// Creates the rows' controls in order (which is the Tab order) with the window font.
// makeCustom makes the controls without a class name. Throws when a control cannot be
// made. Controls with a hint are added to the tooltip when one is given.
void CreateControls(HWND parent, std::span<const ControlRow> rows, HINSTANCE instance, HFONT font,
                    HintTooltip* hints = nullptr, const std::function<HWND(const ControlRow&)>& makeCustom = {});

// Moves every control with a design place to its place for the parent's present client
// size; designClient is the client size the places are written for, at 96 dpi.
void LayoutControls(HWND parent, std::span<const ControlRow> rows, const DpiScale& scale, SIZE designClient);

// Moves a window's controls together, with one repaint, and leaves out those already where
// they belong: a window shown or laid out again at the size it has moves and repaints
// nothing.
class ControlPlacer {
public:
    ControlPlacer(HWND parent, int count);
    ~ControlPlacer();
    ControlPlacer(const ControlPlacer&) = delete;
    ControlPlacer& operator=(const ControlPlacer&) = delete;
    void Place(HWND control, const RECT& place);  // place: in the parent's client coordinates

private:
    HWND parent_;
    HDWP defer_;
};

// Captions and hints from the current interface strings, through the wide API.
void ApplyControlCaptions(HWND parent, std::span<const ControlRow> rows, const InterfaceStrings& strings,
                          HintTooltip* hints);

// The text a row's caption gets from the strings (padded for group boxes).
std::wstring ControlCaption(const ControlRow& row, const InterfaceStrings& strings);

}  // namespace pakvane
