#pragma once
// The common file-open dialog for one existing file, with the ANSI paths the program keeps.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pakvane {

struct FileFilter {
    std::wstring name;  // shown, e.g. "WCX plugins (*.wcx)"
    std::wstring pattern;  // e.g. "*.wcx"
};

// The chosen file, or nothing when the user cancelled. A name the ANSI code page cannot
// spell comes back in its short (8.3) form, which it always can.
std::optional<std::string> ChooseFileToOpen(HWND owner, const std::vector<FileFilter>& filters,
                                            const std::string& initialPath);

}  // namespace pakvane
