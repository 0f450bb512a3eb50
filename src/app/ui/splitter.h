#pragma once
// A horizontal splitter bar. While it is dragged it draws a line where it would go and
// asks its delegate whether that place is allowed; the delegate resizes on release.
// Positions come from each mouse message itself (relative to where the bar stood when the
// drag began), so messages posted by another program drag it just as the mouse does.
#include <windows.h>

#include <optional>

#include "app/ui/window_bridge.h"

namespace pakvane {

class SplitterDelegate {
public:
    // The bar would move by offset pixels (down is positive). Returns the offset to use,
    // which may be limited, or nothing when that step is refused.
    virtual std::optional<int> SplitterProposeOffset(int offset) = 0;
    // The drag ended with the bar moved by offset (the last accepted one).
    virtual void SplitterApplyOffset(int offset) = 0;

protected:
    ~SplitterDelegate() = default;
};

class Splitter final : public WindowBridge {
public:
    static constexpr wchar_t kClassName[] = L"TSplitter";

    explicit Splitter(SplitterDelegate& delegate) : delegate_(delegate) {}
    ~Splitter() override { DestroyBridgedWindow(); }

    void Create(HWND parent, int id, HINSTANCE instance);
    bool IsDragging() const { return dragging_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BeginDrag(int y);
    void DragTo(int y);
    void EndDrag(bool apply);
    void InvertDragLine();

    SplitterDelegate& delegate_;
    bool dragging_ = false;
    bool lineShown_ = false;
    int anchorY_ = 0;  // where the button went down, in the bar's coordinates
    int acceptedOffset_ = 0;
};

}  // namespace pakvane
