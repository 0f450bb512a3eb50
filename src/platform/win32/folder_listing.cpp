#include "platform/win32/folder_listing.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/win32/code_page.h"
#include "platform/win32/wide_text.h"

namespace pakvane {

namespace {

struct FindCloser {
    void operator()(HANDLE search) const noexcept { FindClose(search); }
};
using UniqueSearch = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// The name as the ANSI functions can open it: its short (8.3) form when the code page
// cannot spell the long one; empty when neither can be spelled.
std::string AnsiName(const WIN32_FIND_DATAW& found, const CodePage& codePage)
{
    for (const wchar_t* name : {found.cFileName, found.cAlternateFileName}) {
        const std::wstring_view wide(name);
        if (wide.empty()) continue;
        AnsiText ansi = codePage.WideToAnsi(std::u16string(wide.begin(), wide.end()));
        if (ansi.exact) return std::move(ansi.text);
    }
    return std::string();
}

}  // namespace

std::vector<std::string> Win32FolderListing::ListFiles(const std::string& folder, const std::string& pattern) const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE first = FindFirstFileW(WidePath(folder + pattern).c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) return names;
    const UniqueSearch search(first);
    const Win32CodePage codePage;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string name = AnsiName(found, codePage);
        if (!name.empty()) names.push_back(std::move(name));
    } while (FindNextFileW(search.get(), &found));
    return names;
}

}  // namespace pakvane
