#pragma once
// The one DPI helper: layout numbers are written at 96 dpi and scaled here.
#include <windows.h>

namespace pakvane {

class DpiScale {
public:
    explicit DpiScale(int dpi = 96) : dpi_(dpi > 0 ? dpi : 96) {}
    // The system DPI (the program is system DPI aware).
    static DpiScale ForScreen()
    {
        HDC screen = GetDC(nullptr);
        const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return DpiScale(dpi);
    }

    int Dpi() const { return dpi_; }
    int operator()(int designPixels) const { return MulDiv(designPixels, dpi_, 96); }
    RECT operator()(const RECT& design) const
    {
        return RECT{(*this)(design.left), (*this)(design.top), (*this)(design.right), (*this)(design.bottom)};
    }

private:
    int dpi_;
};

}  // namespace pakvane
