#pragma once
// Real files for the tests: fresh folders under the prefix's temporary folder, and whole
// files written and read back.
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

// Writes the bytes as the whole file; false when it cannot be created.
inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

// The whole file; empty when it cannot be opened.
inline std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

}  // namespace pakvane::testing
