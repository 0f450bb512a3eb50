#pragma once
// The few functions of the shell, COM and common-dialog libraries the program uses, loaded
// at their first call from the system folder. Importing those libraries costs about a
// tenth of a second at every start under Wine, and most runs never open a picker or a
// file dialog. A function that cannot be had reports the failure its API would.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

namespace pakvane::late {

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info);
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR path);
HRESULT SHGetDesktopFolder(IShellFolder** folder);
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* pidl);
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
void CoUninitialize();
void CoTaskMemFree(LPVOID memory);
BOOL GetOpenFileNameW(LPOPENFILENAMEW dialog);

}  // namespace pakvane::late
