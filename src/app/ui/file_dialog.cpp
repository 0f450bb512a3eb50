#include "app/ui/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "app/ui/ui_text.h"

namespace pakvane {

std::string AnsiPathOf(const std::wstring& path)
{
    bool lossy = false;
    std::string ansi = NarrowAnsi(path, &lossy);
    if (!lossy) return ansi;
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return ansi;
    std::wstring shortPath(size, L'\0');
    shortPath.resize(GetShortPathNameW(path.c_str(), shortPath.data(), size));
    return NarrowAnsi(shortPath);
}

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
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return AnsiPathOf(file);
}

}  // namespace pakvane
