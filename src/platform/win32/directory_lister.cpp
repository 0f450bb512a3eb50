#include "platform/win32/directory_lister.h"

#include <windows.h>

#include <algorithm>

namespace pakvane {

namespace {

class FindHandle {
public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAA& data) : handle_(FindFirstFileA(pattern.c_str(), &data)) {}
    ~FindHandle() { if (Valid()) FindClose(handle_); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(handle_, &data) != FALSE; }

private:
    HANDLE handle_;
};

class ReadHandle {
public:
    explicit ReadHandle(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
    }
    ~ReadHandle() { if (Valid()) CloseHandle(handle_); }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool Win32DirectoryLister::List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit)
{
    WIN32_FIND_DATAA data{};
    FindHandle find(pattern, data);
    if (!find.Valid()) return false;
    DirectoryEntry entry;
    do {
        entry.name = data.cFileName;
        entry.attributes = data.dwFileAttributes;
        visit(entry);
    } while (find.Next(data));
    return true;
}

std::optional<std::string> Win32DirectoryLister::ReadFile(const std::string& path, std::size_t maxBytes)
{
    const ReadHandle file(path);
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) return std::nullopt;
        done += read;
    }
    return bytes;
}

}  // namespace pakvane
