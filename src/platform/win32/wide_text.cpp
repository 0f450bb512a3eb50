#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>
#include <utility>

#include "platform/win32/code_page.h"

namespace pakvane {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace {

// The one call of MultiByteToWideChar, for either string type of UTF-16 units.
template <class Units>
bool AppendWide(unsigned codePage, std::string_view text, Units& units)
{
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const std::size_t start = units.size();
    // No byte sequence gives more UTF-16 units than it has bytes, so one call does.
    units.resize(start + text.size());
    const int bytes = static_cast<int>(text.size());
    const int made =
        MultiByteToWideChar(codePage, 0, text.data(), bytes, reinterpret_cast<LPWSTR>(units.data() + start), bytes);
    units.resize(made > 0 ? start + static_cast<std::size_t>(made) : start);
    return made > 0;
}

}  // namespace

bool AppendWideUnits(unsigned codePage, std::string_view text, std::u16string& units)
{
    return AppendWide(codePage, text, units);
}

bool AppendWideText(unsigned codePage, std::string_view text, std::wstring& out)
{
    return AppendWide(codePage, text, out);
}

std::string NarrowText(unsigned codePage, std::u16string_view text, bool bestFit, bool* lossy)
{
    if (lossy) *lossy = false;
    if (text.empty() || text.size() > INT_MAX) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const DWORD flags = bestFit ? 0 : WC_NO_BEST_FIT_CHARS;
    // UTF-8 and UTF-7 take no default-character flag.
    const bool canTell = codePage != CP_UTF8 && codePage != CP_UTF7;
    BOOL usedDefault = FALSE;
    const int count =
        WideCharToMultiByte(codePage, flags, source, size, nullptr, 0, nullptr, canTell ? &usedDefault : nullptr);
    if (count <= 0) return {};
    std::string bytes(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(codePage, flags, source, size, bytes.data(), count, nullptr, canTell ? &usedDefault : nullptr);
    if (lossy) *lossy = usedDefault != FALSE;
    return bytes;
}

std::string NarrowText(unsigned codePage, std::wstring_view text, bool bestFit, bool* lossy)
{
    return NarrowText(codePage, std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()),
                      bestFit, lossy);
}

std::u16string WideUnits(unsigned codePage, std::string_view text)
{
    std::u16string units;
    AppendWideUnits(codePage, text, units);
    return units;
}

std::wstring WidePath(std::string_view ansiPath)
{
    const std::u16string units = WideUnits(CP_ACP, ansiPath);
    return std::wstring(units.begin(), units.end());
}

std::string AnsiPath(const std::wstring& path)
{
    const Win32CodePage codePage;
    AnsiText ansi = codePage.WideToAnsi(std::u16string(path.begin(), path.end()));
    if (ansi.exact) return std::move(ansi.text);
    DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    std::wstring shortPath;
    while (size > 0) {
        shortPath.assign(size, L'\0');
        const DWORD got = GetShortPathNameW(path.c_str(), shortPath.data(), size);
        if (got < size) {
            shortPath.resize(got);
            break;
        }
        size = got;
    }
    if (shortPath.empty()) return std::string();
    ansi = codePage.WideToAnsi(std::u16string(shortPath.begin(), shortPath.end()));
    return ansi.exact ? std::move(ansi.text) : std::string();
}

std::wstring ExecutablePathWide()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::wstring();
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutablePath()
{
    const std::wstring path = ExecutablePathWide();
    return path.empty() ? std::string() : AnsiPath(path);
}

}  // namespace pakvane
