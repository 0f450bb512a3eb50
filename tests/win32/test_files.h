#pragma once
// Real files for the tests: fresh folders under the prefix's temporary folder, and whole
// files written and read back.
#include <windows.h>

#include <optional>
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
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
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

// Under Wine: the Unix path of a file on one of the prefix's drives; nullopt elsewhere.
inline std::optional<std::string> UnixPath(const std::string& path)
{
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!convert) return std::nullopt;
    const int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
    char* unix = convert(wide.c_str());
    if (!unix) return std::nullopt;
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Under Wine: starts a Unix program (Wine starts ELF files itself); false when it cannot be
// started. Wine gives no handle to wait on, so callers wait for what it does.
inline bool StartUnix(std::string commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    return true;
}

// Polls until the condition holds or ten seconds have passed; returns the condition.
template <class Condition>
bool WaitUntil(Condition condition)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > 10'000) return condition();
        Sleep(10);
    }
    return true;
}

}  // namespace pakvane::testing
