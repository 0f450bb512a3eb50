#include "app/ui/window_bridge.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace pakvane {

WindowBridge::~WindowBridge()
{
    // The derived object is gone: detach first, so the window's last messages go to the
    // default procedure and never reach a half-destroyed object.
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

WindowBridge* WindowBridge::FromHandle(HWND hwnd)
{
    return reinterpret_cast<WindowBridge*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void WindowBridge::RegisterBridgedClass(WNDCLASSEXW windowClass)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowBridge::Procedure;
    if (!RegisterClassExW(&windowClass)) throw std::runtime_error("RegisterClassExW failed");
}

HWND WindowBridge::CreateBridgedWindow(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                                       int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                                       HINSTANCE instance)
{
    creationFailure_ = nullptr;
    HWND hwnd =
        CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId, instance, this);
    if (!hwnd) {
        if (creationFailure_) std::rethrow_exception(std::exchange(creationFailure_, nullptr));
        throw std::runtime_error("CreateWindowExW failed");
    }
    return hwnd;
}

void WindowBridge::DestroyBridgedWindow()
{
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK WindowBridge::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowBridge* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBridge*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = FromHandle(hwnd);
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        if (!self->ReflectMessage(message, wParam, lParam, result))
            result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportUnexpectedException("window procedure");
        if (message == WM_NCCREATE || message == WM_CREATE) {
            // Creation fails as a whole: CreateWindowEx returns null and the caller rethrows.
            self->creationFailure_ = std::current_exception();
            return message == WM_NCCREATE ? FALSE : -1;
        }
        result = DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

std::string DescribeException(std::exception_ptr failure)
{
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return {};
}

void ReportUnexpectedException(const char* where) noexcept
{
    try {
        std::string text = "Pakvane: unexpected exception in ";
        text += where;
        const std::string what = DescribeException(std::current_exception());
        if (!what.empty()) text += ": " + what;
        text += "\n";
        OutputDebugStringA(text.c_str());
    } catch (...) {
    }
}

}  // namespace pakvane
