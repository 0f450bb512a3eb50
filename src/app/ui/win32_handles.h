#pragma once
// Owning wrappers for the Windows handles the windows keep.
#include <windows.h>
#include <uxtheme.h>

#include <memory>
#include <type_traits>

namespace pakvane {

struct GdiObjectDeleter {
    void operator()(void* object) const noexcept
    {
        if (object) DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

struct MenuDeleter {
    void operator()(HMENU menu) const noexcept
    {
        if (menu) DestroyMenu(menu);
    }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct ThemeDeleter {
    void operator()(void* theme) const noexcept
    {
        if (theme) CloseThemeData(static_cast<HTHEME>(theme));
    }
};
using UniqueTheme = std::unique_ptr<void, ThemeDeleter>;

// A device context from GetDC/GetDCEx, released on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(HWND hwnd, DWORD flags) : hwnd_(hwnd), dc_(GetDCEx(hwnd, nullptr, flags)) {}
    ~WindowDc()
    {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC for the length of a scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject()
    {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace pakvane
