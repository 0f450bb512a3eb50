#include "app/ui/splitter.h"

#include <windowsx.h>

#include "app/ui/win32_handles.h"

namespace pakvane {

void Splitter::Create(HWND parent, int id, HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32645));  // IDC_SIZENS
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterBridgedClass(windowClass);
    CreateBridgedWindow(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        BeginDrag(GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) DragTo(GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            DragTo(GET_Y_LPARAM(lParam));
            EndDrag(true);
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Losing the mouse to another window ends the drag where it stood.
        if (dragging_ && reinterpret_cast<HWND>(lParam) != Handle()) EndDrag(true);
        return 0;
    case WM_CANCELMODE:
        if (dragging_) EndDrag(false);
        return 0;
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

void Splitter::BeginDrag(int y)
{
    if (dragging_) EndDrag(false);
    dragging_ = true;
    anchorY_ = y;
    acceptedOffset_ = 0;
    SetCapture(Handle());
    InvertDragLine();
}

void Splitter::DragTo(int y)
{
    const std::optional<int> accepted = delegate_.SplitterProposeOffset(y - anchorY_);
    if (!accepted || *accepted == acceptedOffset_) return;
    InvertDragLine();
    acceptedOffset_ = *accepted;
    InvertDragLine();
}

void Splitter::EndDrag(bool apply)
{
    if (lineShown_) InvertDragLine();
    dragging_ = false;
    const int offset = acceptedOffset_;
    acceptedOffset_ = 0;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (apply && offset != 0) delegate_.SplitterApplyOffset(offset);
}

// Draws (or, drawn twice, removes) the halftone line that shows where the bar will go.
void Splitter::InvertDragLine()
{
    HWND parent = GetParent(Handle());
    RECT bar{};
    GetWindowRect(Handle(), &bar);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
    OffsetRect(&bar, 0, acceptedOffset_);

    // Children are not clipped: the line crosses the list and the memo.
    WindowDc dc(parent, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (!dc) return;
    static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    UniqueBitmap pattern(CreateBitmap(8, 8, 1, 1, kHalftone));
    UniqueBrush brush(CreatePatternBrush(pattern.get()));
    SelectedObject selected(dc.Get(), brush.get());
    PatBlt(dc.Get(), bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, PATINVERT);
    lineShown_ = !lineShown_;
}

}  // namespace pakvane
