#include "app/ui/ui_text.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "i18n/safe_format.h"

namespace pakvane {

namespace {

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

std::wstring Widen(std::string_view text, unsigned codePage)
{
    if (text.empty()) return {};
    if (text.size() > static_cast<std::size_t>(INT_MAX)) text = text.substr(0, INT_MAX);
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        // An unknown code page: show the bytes as Latin-1 rather than nothing.
        std::wstring latin1;
        for (const char c : text) latin1 += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return latin1;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

void WidenAnsiInto(std::string_view text, std::wstring& out)
{
    // Every ANSI byte becomes at most one UTF-16 unit (a double-byte character: one or two).
    out.resize(text.size());
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const int written = length ? MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), length) : 0;
    if (written > 0 || length == 0) {
        out.resize(static_cast<std::size_t>(written));
    } else {
        out = Widen(text, kAnsiCodePage);
    }
}

std::string NarrowAnsi(std::wstring_view text, bool* lossy)
{
    if (lossy) *lossy = false;
    if (text.empty()) return {};
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), size, nullptr, &usedDefault);
    if (lossy) *lossy = usedDefault != FALSE;
    return out;
}

std::wstring FormatUiMessage(const UiText& pattern, std::string_view ansiArgument)
{
    const std::wstring widePattern = Widen(pattern);
    const std::wstring wideArgument = WidenAnsi(ansiArgument);
    return SafeFormat(std::wstring_view(widePattern), std::wstring_view(wideArgument));
}

int ShowMessageBox(HWND owner, std::wstring_view text, std::wstring_view caption, UINT flags)
{
    if (const MessageBoxHook& hook = Hook()) return hook(owner, text, caption, flags);
    const std::wstring textCopy(text);
    const std::wstring captionCopy(caption);
    return MessageBoxW(owner, textCopy.c_str(), captionCopy.c_str(), flags);
}

int ShowMessageBox(HWND owner, const InterfaceStrings& strings, Str text, Str caption, UINT flags)
{
    return ShowMessageBox(owner, Widen(strings[text]), Widen(strings[caption]), flags);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

}  // namespace pakvane
