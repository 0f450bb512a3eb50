#include "app/ui/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "app/ui/late_bound.h"
#include "app/ui/ui_text.h"
#include "platform/win32/wide_text.h"

namespace pakvane {

std::optional<std::string> ChooseFileToOpen(HWND owner, const std::vector<FileFilter>& filters,
                                            const std::string& initialPath)
{
    std::wstring filter;
    for (const FileFilter& f : filters) filter += f.name + L'\0' + f.pattern + L'\0';
    filter += L'\0';
    std::wstring file = WidenAnsi(initialPath);
    file.resize(std::max<std::size_t>(file.size() + 1, 32768), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!late::GetOpenFileNameW(&dialog)) return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return AnsiPath(file);
}

}  // namespace pakvane
