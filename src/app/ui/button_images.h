#pragma once
// Images for the image buttons: each named 16x16 bitmap resource ("OPEN", "SAVE", ...)
// in its normal form and an embossed disabled form, kept in one image list with the
// magenta background masked out. The buttons are owner-drawn so that both forms look
// right on classic, themed and Wine-drawn buttons alike.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <span>
#include <vector>

#include "app/ui/control_host.h"
#include "app/ui/dpi.h"
#include "app/ui/win32_handles.h"

namespace pakvane {

class ButtonImages {
public:
    ButtonImages() = default;
    ~ButtonImages() { Reset(); }
    ButtonImages(const ButtonImages&) = delete;
    ButtonImages& operator=(const ButtonImages&) = delete;

    // Loads the named resources in order (image index = position in names), enlarged by
    // whole steps on high DPI so they stay sharp. A missing resource leaves its slot empty.
    void Load(HINSTANCE instance, std::span<const wchar_t* const> names, const DpiScale& scale);
    bool IsLoaded() const { return list_ != nullptr; }

    // Draws an owner-drawn push button (BS_OWNERDRAW) with image `index` in its middle.
    // theme: the "BUTTON" theme data, or null for the classic look.
    void DrawButton(const DRAWITEMSTRUCT& item, int index, HTHEME theme) const;

private:
    void Reset();
    HIMAGELIST list_ = nullptr;
    int size_ = 16;
};

// A window's image buttons: owner-drawn push buttons, each showing one bitmap resource.
// The object draws them (their WM_DRAWITEM is reflected to it) in the themed or classic
// look, with an embossed image while a button is disabled.
struct ImageButtonRow {
    int id;
    const wchar_t* resource;
};

class ImageButtons final : public ReflectedControl {
public:
    // Takes over the drawing of the buttons, which must exist by now.
    void Attach(HWND parent, ControlHost& host, std::span<const ImageButtonRow> rows);
    // (Re)loads the images; the disabled forms take the system colours, so call it again
    // at WM_SYSCOLORCHANGE.
    void LoadImages(HINSTANCE instance, const DpiScale& scale);
    // Call at WM_THEMECHANGED.
    void OpenTheme();

    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    std::vector<ImageButtonRow> rows_;
    HWND parent_ = nullptr;
    ButtonImages images_;
    UniqueTheme theme_;
};

}  // namespace pakvane
