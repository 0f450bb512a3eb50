#include "app/ui/late_bound.h"

#include <string>

namespace pakvane::late {

namespace {

// Only from the system folder, never from beside the program or the current folder.
HMODULE SystemLibrary(const wchar_t* name)
{
    if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Windows 7 without its loader update knows no LOAD_LIBRARY_SEARCH_SYSTEM32.
    const UINT size = GetSystemDirectoryW(nullptr, 0);
    if (size == 0) return nullptr;
    std::wstring path(size, L'\0');
    path.resize(GetSystemDirectoryW(path.data(), size));
    return LoadLibraryW((path + L"\\" + name).c_str());
}

// The function, looked up once; the library stays loaded for the life of the process.
template <class Function>
Function Resolve(const wchar_t* library, const char* name)
{
    HMODULE module = SystemLibrary(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info)
{
    static const auto function = Resolve<decltype(&::SHBrowseForFolderA)>(L"shell32.dll", "SHBrowseForFolderA");
    return function ? function(info) : nullptr;
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR path)
{
    static const auto function = Resolve<decltype(&::SHGetPathFromIDListA)>(L"shell32.dll", "SHGetPathFromIDListA");
    return function ? function(pidl, path) : FALSE;
}

HRESULT SHGetDesktopFolder(IShellFolder** folder)
{
    static const auto function = Resolve<decltype(&::SHGetDesktopFolder)>(L"shell32.dll", "SHGetDesktopFolder");
    return function ? function(folder) : E_NOTIMPL;
}

HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* pidl)
{
    static const auto function =
        Resolve<decltype(&::SHGetSpecialFolderLocation)>(L"shell32.dll", "SHGetSpecialFolderLocation");
    return function ? function(owner, folder, pidl) : E_NOTIMPL;
}

HRESULT CoInitializeEx(LPVOID reserved, DWORD flags)
{
    static const auto function = Resolve<decltype(&::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    return function ? function(reserved, flags) : E_NOTIMPL;
}

void CoUninitialize()
{
    static const auto function = Resolve<decltype(&::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    if (function) function();
}

void CoTaskMemFree(LPVOID memory)
{
    static const auto function = Resolve<decltype(&::CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    if (function) function(memory);
}

BOOL GetOpenFileNameW(LPOPENFILENAMEW dialog)
{
    static const auto function = Resolve<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    return function ? function(dialog) : FALSE;
}

}  // namespace pakvane::late
