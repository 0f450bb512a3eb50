#include "platform/win32/version_info.h"

#include <windows.h>

#include <vector>

namespace pakvane {

namespace {

class Win32VersionResource final : public VersionResource {
public:
    explicit Win32VersionResource(std::vector<char> buffer) : buffer_(std::move(buffer)) {}

    std::optional<std::string> Binary(const std::string& subBlock) const override
    {
        void* value = nullptr;
        UINT length = 0;
        if (!Query(subBlock, value, length)) return std::nullopt;
        return std::string(static_cast<const char*>(value), length);
    }

    std::optional<VersionString> Text(const std::string& subBlock) const override
    {
        void* value = nullptr;
        UINT length = 0;
        if (!Query(subBlock, value, length)) return std::nullopt;
        VersionString text;
        text.length = length;
        // The value is a NUL-terminated string inside the buffer; stop at its end at the latest.
        const char* begin = static_cast<const char*>(value);
        const char* end = buffer_.data() + buffer_.size();
        if (begin >= buffer_.data() && begin < end) {
            const char* stop = begin;
            while (stop < end && *stop) ++stop;
            text.text.assign(begin, stop);
        }
        return text;
    }

private:
    bool Query(const std::string& subBlock, void*& value, UINT& length) const
    {
        // VerQueryValueA takes a non-const buffer although it only reads it for these paths.
        return VerQueryValueA(const_cast<char*>(buffer_.data()), subBlock.c_str(), &value, &length) && value;
    }

    std::vector<char> buffer_;
};

}  // namespace

std::unique_ptr<VersionResource> Win32VersionInfoSource::Read(const std::string& path) const
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return nullptr;
    std::vector<char> buffer(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.data())) return nullptr;
    return std::make_unique<Win32VersionResource>(std::move(buffer));
}

std::string Win32VersionInfoSource::LanguageName(std::uint16_t language) const
{
    // The system's names are short; 1023 characters and a NUL are room enough.
    std::vector<char> name(1024, '\0');
    if (VerLanguageNameA(language, name.data(), static_cast<DWORD>(name.size() - 1)) == 0) return std::string();
    return std::string(name.data());
}

}  // namespace pakvane
