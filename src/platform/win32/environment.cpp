#include "platform/win32/environment.h"

#include <windows.h>

#include <vector>

namespace pakvane {

std::optional<std::string> Win32Environment::Variable(std::string_view name) const
{
    const std::string key(name);
    std::vector<char> buffer(260);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetEnvironmentVariableA(key.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n);  // n counts the terminating NUL when the buffer is too small
    }
}

std::string Win32Environment::WindowsFolder() const
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const UINT n = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n);
    }
}

}  // namespace pakvane
