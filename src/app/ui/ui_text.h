#pragma once
// Interface text on its way to the screen: 8-bit texts are widened with the code page
// they are written in and shown only through the wide API, and every message box of the
// program goes through ShowMessageBox.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "i18n/interface_strings.h"

namespace pakvane {

// 8-bit text in the given code page (0 = the ANSI code page) as UTF-16.
std::wstring Widen(std::string_view text, unsigned codePage);
inline std::wstring Widen(const UiText& text)
{
    return Widen(text.text, text.codePage);
}
// Data (paths, row texts) is in the ANSI code page.
inline std::wstring WidenAnsi(std::string_view text)
{
    return Widen(text, kAnsiCodePage);
}
// The same into a buffer that keeps its memory from call to call (long lists).
void WidenAnsiInto(std::string_view text, std::wstring& out);

// UTF-16 from a control as ANSI bytes; `lossy` tells whether a character had no ANSI form
// (it is then '?'), so callers can refuse rather than store something else.
std::string NarrowAnsi(std::wstring_view text, bool* lossy = nullptr);

// A message pattern from the interface strings with one ANSI argument. Both are widened
// first, each with its own code page, then formatted (the pattern itself on an error).
std::wstring FormatUiMessage(const UiText& pattern, std::string_view ansiArgument);

// Shows a modal message box owned by owner and returns the button that closed it.
int ShowMessageBox(HWND owner, std::wstring_view text, std::wstring_view caption, UINT flags);
// The same with text and caption taken from the interface strings.
int ShowMessageBox(HWND owner, const InterfaceStrings& strings, Str text, Str caption, UINT flags);

// Lets in-process tests answer message boxes: while a hook is set it is called instead
// of MessageBoxW and its result returned. Returns the hook that was set before.
using MessageBoxHook = std::function<int(HWND owner, std::wstring_view text, std::wstring_view caption, UINT flags)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace pakvane
