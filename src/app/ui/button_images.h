#pragma once
// Images for the image buttons: each named 16x16 bitmap resource ("OPEN", "SAVE", ...)
// in its normal form and an embossed disabled form, kept in one image list with the
// magenta background masked out. The buttons are owner-drawn so that both forms look
// right on classic, themed and Wine-drawn buttons alike.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <span>

#include "app/dpi.h"

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

}  // namespace pakvane
