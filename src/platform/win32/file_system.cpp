#include "platform/win32/file_system.h"

#include <windows.h>

#include <cstdio>

namespace pakvane {

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close()
    {
        const bool ok = !Valid() || CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ULONGLONG kMaxFileSize = 0x7FFFFFF0u;

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > (1u << 20) ? (1u << 20) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The folder part with its separator ("" for a bare name, "c:" for a drive-relative one).
std::string FolderOf(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string TemporaryName(const std::string& folder, unsigned attempt)
{
    char name[40];
    std::snprintf(name, sizeof name, "~pv%lx%04x.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned>((GetTickCount() + attempt) & 0xFFFFu));
    return folder + name;
}

// Without the right to create a file in the folder, the file itself may still be writable.
WriteStatus WriteInPlace(const std::string& path, std::string_view bytes)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) return WriteStatus::Failed;
    const bool ok = WriteAll(file.Get(), bytes) && SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get());
    return file.Close() && ok ? WriteStatus::Ok : WriteStatus::Failed;
}

}  // namespace

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) const
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.Valid()) return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<ULONGLONG>(size.QuadPart) > kMaxFileSize) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &read, nullptr)) return std::nullopt;
        if (read == 0) break;  // shrank while we read
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

bool Win32FileSystem::FileExists(const std::string& path) const
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

WriteStatus Win32FileSystem::ReplaceContent(const std::string& path, std::string_view bytes)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return WriteStatus::Failed;  // no such folder, no access
    // Checked here because the system does not enforce the attribute for every user (root
    // under Wine), and a read-only file must never change.
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return WriteStatus::Failed;
    if (exists) {
        // Someone holding the file without sharing it keeps it as it is.
        FileHandle probe(CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe.Valid()) return WriteStatus::Failed;
    }

    const std::string folder = FolderOf(path);
    std::string temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 64 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = TemporaryName(folder, attempt);
        created = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) break;
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && exists) return WriteInPlace(path, bytes);
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return WriteStatus::Failed;
    }
    FileHandle file(created);
    if (!file.Valid()) return WriteStatus::Failed;
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    if (!file.Close() || !written) {
        DeleteFileA(temporary.c_str());
        return WriteStatus::Failed;
    }
    if (exists) SetFileAttributesA(temporary.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(temporary.c_str());
        return WriteStatus::Failed;
    }
    return WriteStatus::Ok;
}

}  // namespace pakvane
