#pragma once
// A fresh folder under the prefix's temporary folder for tests that use real files.
#include <windows.h>

#include <string>

namespace pakvane::testing {

// Returns the folder with a trailing backslash; every call makes a new one.
inline std::string MakeScratchFolder(const char* tag)
{
    static int made = 0;  // tests run within one clock tick of each other
    const DWORD size = GetTempPathA(0, nullptr);
    std::string base(size, '\0');
    base.resize(GetTempPathA(size, base.data()));
    const std::string folder = base + tag + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount()) + "-" + std::to_string(++made);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

}  // namespace pakvane::testing
