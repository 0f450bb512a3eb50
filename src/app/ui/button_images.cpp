#include "app/ui/button_images.h"

#include <vssym32.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/ui/win32_handles.h"

namespace pakvane {

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;  // magenta background, as 0x00RRGGBB
constexpr int kDesignSize = 16;

using Pixels = std::vector<std::uint32_t>;  // top-down rows of 0x00RRGGBB

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The resource's pixels, enlarged to size by repeating pixels; all background if missing.
Pixels ReadImage(HINSTANCE instance, const wchar_t* name, int size)
{
    Pixels out(static_cast<std::size_t>(size) * size, kKey);
    UniqueBitmap source(static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!source || !GetObjectW(source.get(), sizeof info, &info)) return out;
    const int width = info.bmWidth;
    const int height = std::abs(info.bmHeight);
    Pixels pixels(static_cast<std::size_t>(width) * height);
    BITMAPINFO read = TopDown32(width, height);
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, source.get(), 0, static_cast<UINT>(height), pixels.data(), &read, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height || width <= 0) return out;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int sx = x * width / size, sy = y * height / size;
            out[static_cast<std::size_t>(y) * size + x] = pixels[static_cast<std::size_t>(sy) * width + sx] & 0xFFFFFF;
        }
    }
    return out;
}

std::uint32_t Rgb(COLORREF color)
{
    return (std::uint32_t{GetRValue(color)} << 16) | (std::uint32_t{GetGValue(color)} << 8) | GetBValue(color);
}

// The classic disabled look: the image's darker pixels as a shadow-coloured shape with a
// highlight one pixel below and to the right.
Pixels Emboss(const Pixels& image, int size)
{
    auto dark = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= size || y >= size) return false;
        const std::uint32_t p = image[static_cast<std::size_t>(y) * size + x];
        if (p == kKey) return false;
        const unsigned luminance = (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
        return luminance < 200;
    };
    const std::uint32_t shadow = Rgb(GetSysColor(COLOR_BTNSHADOW));
    const std::uint32_t highlight = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT));
    Pixels out(image.size(), kKey);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint32_t& p = out[static_cast<std::size_t>(y) * size + x];
            if (dark(x, y))
                p = shadow;
            else if (dark(x - 1, y - 1))
                p = highlight;
        }
    }
    return out;
}

bool AddImage(HIMAGELIST list, const Pixels& pixels, int size)
{
    BITMAPINFO info = TopDown32(size, size);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    GdiFlush();
    return ImageList_AddMasked(list, bitmap.get(), RGB(255, 0, 255)) >= 0;
}

}  // namespace

void ButtonImages::Reset()
{
    if (list_) ImageList_Destroy(list_);
    list_ = nullptr;
}

void ButtonImages::Load(HINSTANCE instance, std::span<const wchar_t* const> names, const DpiScale& scale)
{
    Reset();
    size_ = kDesignSize * std::max(1, scale.Dpi() / 96);
    list_ = ImageList_Create(size_, size_, ILC_COLOR24 | ILC_MASK, static_cast<int>(names.size() * 2), 0);
    if (!list_) return;
    for (const wchar_t* name : names) {
        const Pixels image = ReadImage(instance, name, size_);
        AddImage(list_, image, size_);
        AddImage(list_, Emboss(image, size_), size_);
    }
}

void ButtonImages::DrawButton(const DRAWITEMSTRUCT& item, int index, HTHEME theme) const
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT content = face;
    int shift = 0;
    if (theme) {
        const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : PBS_NORMAL;
        if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, state)) {
            DrawThemeParentBackground(item.hwndItem, dc, &face);
        }
        DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &face, nullptr);
        GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, state, &face, &content);
    } else {
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        InflateRect(&content, -2, -2);
        shift = pressed ? 1 : 0;
    }
    if (list_ && index >= 0) {
        const int x = content.left + (content.right - content.left - size_) / 2 + shift;
        const int y = content.top + (content.bottom - content.top - size_) / 2 + shift;
        ImageList_Draw(list_, index * 2 + (disabled ? 1 : 0), dc, x, y, ILD_TRANSPARENT);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = content;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

void ImageButtons::Attach(HWND parent, ControlHost& host, std::span<const ImageButtonRow> rows)
{
    parent_ = parent;
    rows_.assign(rows.begin(), rows.end());
    for (const ImageButtonRow& row : rows_) host.Reflect(row.id, *this);
    OpenTheme();
}

void ImageButtons::LoadImages(HINSTANCE instance, const DpiScale& scale)
{
    std::vector<const wchar_t*> names;
    for (const ImageButtonRow& row : rows_) names.push_back(row.resource);
    images_.Load(instance, names, scale);
    for (const ImageButtonRow& row : rows_) InvalidateRect(GetDlgItem(parent_, row.id), nullptr, TRUE);
}

void ImageButtons::OpenTheme()
{
    theme_.reset(rows_.empty() ? nullptr : OpenThemeData(GetDlgItem(parent_, rows_.front().id), L"BUTTON"));
}

bool ImageButtons::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_BUTTON) return false;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == static_cast<int>(item.CtlID)) {
            images_.DrawButton(item, static_cast<int>(i), static_cast<HTHEME>(theme_.get()));
            return true;
        }
    }
    return false;
}

}  // namespace pakvane
