#include "app/ui/ui_text.h"

#include <utility>

#include "i18n/safe_format.h"
#include "platform/win32/wide_text.h"

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
    std::wstring wide;
    if (AppendWideText(codePage, text, wide)) return wide;
    // An unknown code page: show the bytes as Latin-1 rather than nothing.
    for (const char c : text) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

void WidenAnsiInto(std::string_view text, std::wstring& out)
{
    out.clear();
    if (!AppendWideText(kAnsiCodePage, text, out)) out = Widen(text, kAnsiCodePage);
}

std::string NarrowAnsi(std::wstring_view text, bool* lossy)
{
    return NarrowText(kAnsiCodePage, text, false, lossy);
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
