#pragma once
// The one HWND-to-object bridge: a window's object is stored at WM_NCCREATE, every
// message is dispatched to it (control messages first to the objects that own the
// controls), and no exception ever crosses back into Windows. An exception while the
// window is being created fails the creation instead of leaving half a window.
#include <windows.h>

#include <exception>
#include <string>

#include "app/ui/control_host.h"

namespace pakvane {

class WindowBridge : public ControlHost {
public:
    WindowBridge() = default;
    WindowBridge(const WindowBridge&) = delete;
    WindowBridge& operator=(const WindowBridge&) = delete;
    virtual ~WindowBridge();

    HWND Handle() const { return hwnd_; }

    // The object behind a window created through this bridge, or null.
    static WindowBridge* FromHandle(HWND hwnd);

protected:
    // Registers a window class whose procedure is the bridge; does nothing when the
    // class is already registered in this module.
    static void RegisterBridgedClass(WNDCLASSEXW windowClass);

    // Creates a window of a bridged class for this object. Throws on failure, with the
    // exception that failed WM_NCCREATE or WM_CREATE when there was one.
    HWND CreateBridgedWindow(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                             int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance);

    // Destroys the window while the derived object can still handle its messages.
    void DestroyBridgedWindow();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    std::exception_ptr creationFailure_;
};

// Tells the developer (debug output) about the exception being handled at a callback boundary.
void ReportUnexpectedException(const char* where) noexcept;
// The message of the exception being handled, or of the one given; empty when unknown.
std::string DescribeException(std::exception_ptr failure);

// Runs a handler at a callback boundary: any exception is reported and fallback returned.
template <class Handler>
LRESULT GuardCallback(const char* where, LRESULT fallback, Handler&& handler) noexcept
{
    try {
        return handler();
    } catch (...) {
        ReportUnexpectedException(where);
        return fallback;
    }
}

}  // namespace pakvane
