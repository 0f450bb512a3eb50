#pragma once
// The hints a window's tooltip control holds, by the tool's id (a control's handle).
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

namespace pakvane::testing {

inline std::map<UINT_PTR, std::wstring> ReadHints(HWND tooltip)
{
    std::map<UINT_PTR, std::wstring> hints;
    const auto count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool))) continue;
        wchar_t text[512] = {};
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        hints[tool.uId] = text;
    }
    return hints;
}

}  // namespace pakvane::testing
