#include "platform/win32/registry.h"

#include <windows.h>

#include <vector>

namespace pakvane {

namespace {

class RegistryKey {
public:
    RegistryKey(HKEY root, const std::string& path)
    {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey()
    {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::optional<std::string> Win32Registry::ReadString(RegistryRoot root, std::string_view key,
                                                     std::string_view value) const
{
    RegistryKey opened(root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, std::string(key));
    if (!opened.get()) return std::nullopt;

    const std::string name(value);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return std::string();
    // The value may change between the two calls; ask again until the buffer fits.
    std::vector<char> buffer(size + 1);
    for (;;) {
        DWORD got = static_cast<DWORD>(buffer.size());
        const LONG rc =
            RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            buffer.resize(got + 1);
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
        std::string text(buffer.data(), got);
        // Stored strings usually carry their terminating NUL; some writers omit it.
        const auto end = text.find('\0');
        if (end != std::string::npos) text.resize(end);
        return text;
    }
}

}  // namespace pakvane
