#include "platform/win32/directory_lister.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace pakvane {

namespace {

class FindHandle {
public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAW& data)
        : handle_(FindFirstFileW(WidePath(pattern).c_str(), &data))
    {
    }
    ~FindHandle()
    {
        if (Valid()) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& data) { return FindNextFileW(handle_, &data) != FALSE; }

private:
    HANDLE handle_;
};

// The entry's name as the ANSI functions can open it: its short (8.3) form when the code
// page cannot spell the long one; empty when neither can be spelled.
std::string AnsiName(const WIN32_FIND_DATAW& found)
{
    for (const wchar_t* name : {found.cFileName, found.cAlternateFileName}) {
        if (!*name) continue;
        bool lossy = false;
        std::string ansi = NarrowText(CP_ACP, std::wstring_view(name), false, &lossy);
        if (!lossy && !ansi.empty()) return ansi;
    }
    return std::string();
}

class Win32FileReader final : public FileReader {
public:
    explicit Win32FileReader(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}
    ~Win32FileReader() override { CloseHandle(handle_); }
    Win32FileReader(const Win32FileReader&) = delete;
    Win32FileReader& operator=(const Win32FileReader&) = delete;

    std::uint64_t Size() const override { return size_; }
    std::optional<std::string> Read(std::uint64_t offset, std::size_t length) override
    {
        if (offset > size_ || length > size_ - offset) return std::nullopt;
        std::string bytes(length, '\0');
        std::size_t done = 0;
        while (done < length) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset + done);
            at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
            DWORD read = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 24));
            if (!::ReadFile(handle_, bytes.data() + done, chunk, &read, &at) || read == 0) return std::nullopt;
            done += read;
        }
        return bytes;
    }

private:
    HANDLE handle_;
    std::uint64_t size_;
};

}  // namespace

bool Win32DirectoryLister::List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit)
{
    WIN32_FIND_DATAW data{};
    FindHandle find(pattern, data);
    if (!find.Valid()) return false;
    DirectoryEntry entry;
    do {
        entry.name = AnsiName(data);
        if (entry.name.empty()) continue;  // nothing the rest of the program could open
        entry.attributes = data.dwFileAttributes;
        visit(entry);
    } while (find.Next(data));
    return true;
}

std::unique_ptr<FileReader> Win32DirectoryLister::OpenFile(const std::string& path)
{
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    return std::make_unique<Win32FileReader>(handle, static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace pakvane
