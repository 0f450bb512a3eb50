#include "platform/win32/code_page.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace pakvane {

std::u16string Win32CodePage::AnsiToWide(std::string_view ansi) const
{
    return WideUnits(CP_ACP, ansi);
}

// The profile functions convert with best fit; a second pass without it tells whether any
// character lost its identity.
AnsiText Win32CodePage::WideToAnsi(std::u16string_view wide) const
{
    AnsiText result{NarrowText(CP_ACP, wide, true, nullptr), true};
    bool usedDefault = false;
    const std::string strict = NarrowText(CP_ACP, wide, false, &usedDefault);
    result.exact = !usedDefault && strict == result.text && WideUnits(CP_ACP, strict) == wide;
    return result;
}

std::u16string Win32CodePage::Utf8ToWide(std::string_view utf8) const
{
    return WideUnits(CP_UTF8, utf8);
}

std::string Win32CodePage::WideToUtf8(std::u16string_view wide) const
{
    return NarrowText(CP_UTF8, wide, true, nullptr);
}

}  // namespace pakvane
