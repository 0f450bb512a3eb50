#include "app/ui/ui_font.h"

#include <algorithm>
#include <string_view>

namespace pakvane {

namespace {

void SetFaceName(LOGFONTW& font, std::wstring_view face)
{
    const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.data(), length, font.lfFaceName);
    font.lfFaceName[length] = L'\0';
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Whether a font of that face exists with the given character set. Only an exact face
// counts: the font mapper would otherwise hand out any substitute.
bool HasFont(std::wstring_view face, BYTE charSet)
{
    LOGFONTW query{};
    query.lfCharSet = charSet;
    SetFaceName(query, face);
    bool found = false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExW(screen, &query, &NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

UniqueFont CreateUiFont(const DpiScale& scale)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(8, scale.Dpi(), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;

    if (HasFont(L"MS Sans Serif", RUSSIAN_CHARSET)) {
        SetFaceName(font, L"MS Sans Serif");
        font.lfCharSet = RUSSIAN_CHARSET;
    } else if (HasFont(L"Microsoft Sans Serif", RUSSIAN_CHARSET)) {
        SetFaceName(font, L"Microsoft Sans Serif");
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            SetFaceName(font, metrics.lfMessageFont.lfFaceName);
        } else {
            SetFaceName(font, L"MS Shell Dlg");
        }
    }
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace pakvane
