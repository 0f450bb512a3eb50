#include "platform/win32/code_page.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace pakvane {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::string ToBytes(UINT codePage, DWORD flags, std::u16string_view wide, BOOL* usedDefault)
{
    if (wide.empty() || wide.size() > INT_MAX) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
    const int size = static_cast<int>(wide.size());
    const int count = WideCharToMultiByte(codePage, flags, source, size, nullptr, 0, nullptr, usedDefault);
    if (count <= 0) return {};
    std::string bytes(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(codePage, flags, source, size, bytes.data(), count, nullptr, usedDefault);
    return bytes;
}

}  // namespace

std::u16string Win32CodePage::AnsiToWide(std::string_view ansi) const { return WideUnits(CP_ACP, ansi); }

// The profile functions convert with best fit; a second pass without it tells whether any
// character lost its identity.
AnsiText Win32CodePage::WideToAnsi(std::u16string_view wide) const
{
    AnsiText result{ToBytes(CP_ACP, 0, wide, nullptr), true};
    BOOL usedDefault = FALSE;
    const std::string strict = ToBytes(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, &usedDefault);
    result.exact = !usedDefault && strict == result.text && WideUnits(CP_ACP, strict) == wide;
    return result;
}

std::u16string Win32CodePage::Utf8ToWide(std::string_view utf8) const { return WideUnits(CP_UTF8, utf8); }

std::string Win32CodePage::WideToUtf8(std::u16string_view wide) const { return ToBytes(CP_UTF8, 0, wide, nullptr); }

}  // namespace pakvane
