#include "platform/win32/file_system.h"

#include <windows.h>

#include <cwchar>
#include <optional>

#include "platform/win32/wide_text.h"

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
std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// "~pv*.tmp": the start-up clean-up knows our leftovers by that pattern.
std::wstring TemporaryName(const std::wstring& folder, unsigned attempt)
{
    wchar_t name[40];
    std::swprintf(name, sizeof name / sizeof name[0], L"~pv%lx%04x.tmp",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned>((GetTickCount() + attempt) & 0xFFFFu));
    return folder + name;
}

// What an existing file really is: a symbolic link (mklink, or a Unix link seen through
// Wine) resolves to its final target, so that the target gets the new bytes and the link
// stays a link. Also the file's creation time, which the new file takes over.
struct ExistingFile {
    std::wstring path;
    DWORD attributes = 0;
    FILETIME created{};
};

std::optional<ExistingFile> Resolve(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) return std::nullopt;
    ExistingFile existing;
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    DWORD size = GetFinalPathNameByHandleW(file.Get(), nullptr, 0, kFlags);
    for (;;) {
        if (size == 0) return std::nullopt;
        existing.path.assign(size, L'\0');
        const DWORD got = GetFinalPathNameByHandleW(file.Get(), existing.path.data(), size, kFlags);
        if (got == 0) return std::nullopt;
        if (got < size) {
            existing.path.resize(got);
            break;
        }
        size = got + 1;  // it grew meanwhile
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) return std::nullopt;
    existing.attributes = information.dwFileAttributes;
    existing.created = information.ftCreationTime;
    return existing;
}

}  // namespace

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) const
{
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
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
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// Where the new bytes go and what the old file was; nullopt when it must not be replaced.
struct ReplaceTarget {
    std::wstring path;
    std::optional<ExistingFile> existing;
};

std::optional<ReplaceTarget> FindReplaceTarget(const std::string& path)
{
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return std::nullopt;  // no such folder, no access
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    ReplaceTarget target{wide, std::nullopt};
    if (!exists) return target;
    target.existing = Resolve(wide);
    if (!target.existing) return std::nullopt;
    target.path = target.existing->path;
    // Checked here because the system does not enforce the attribute for every user (root
    // under Wine), and a read-only file must never change.
    if (target.existing->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return std::nullopt;
    // Someone holding the file without sharing it keeps it as it is.
    FileHandle probe(CreateFileW(target.path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe.Valid()) return std::nullopt;
    return target;
}

// A new, empty temporary file beside the target, open for writing; invalid when none can be made.
HANDLE CreateTemporary(const std::wstring& target, std::wstring& temporary)
{
    const std::wstring folder = FolderOf(target);
    for (unsigned attempt = 0; attempt < 64; ++attempt) {
        temporary = TemporaryName(folder, attempt);
        const HANDLE created =
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) return created;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool Win32FileSystem::CanReplace(const std::string& path) const
{
    const auto target = FindReplaceTarget(path);
    if (!target) return false;
    std::wstring temporary;
    FileHandle file(CreateTemporary(target->path, temporary));
    if (!file.Valid()) return false;
    file.Close();
    DeleteFileW(temporary.c_str());
    return true;
}

// The new bytes go into a temporary file beside the target, which then takes the target's
// place in one step: ReplaceFileW for an existing file (it keeps the file's attributes,
// security and creation time), a move for a new one. The file is never written in place:
// where no temporary file can be made, the write fails and the file stays as it was.
WriteStatus Win32FileSystem::ReplaceContent(const std::string& path, std::string_view bytes)
{
    const auto found = FindReplaceTarget(path);
    if (!found) return WriteStatus::Failed;
    const std::wstring& target = found->path;
    const std::optional<ExistingFile>& existing = found->existing;
    std::wstring temporary;
    FileHandle file(CreateTemporary(target, temporary));
    if (!file.Valid()) return WriteStatus::Failed;
    bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    // ReplaceFileW carries the creation time over on Windows; Wine's does not.
    if (written && existing) written = SetFileTime(file.Get(), &existing->created, nullptr, nullptr) != FALSE;
    if (!file.Close() || !written) {
        DeleteFileW(temporary.c_str());
        return WriteStatus::Failed;
    }
    bool placed = false;
    if (existing) {
        constexpr DWORD kKept =
            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if (existing->attributes & kKept) SetFileAttributesW(temporary.c_str(), existing->attributes & kKept);
        placed = ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                              nullptr) != FALSE;
    } else {
        // Not over a file that appeared meanwhile: that one is someone else's.
        placed = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!placed) {
        SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temporary.c_str());
        return WriteStatus::Failed;
    }
    return WriteStatus::Ok;
}

std::size_t RemoveLeftoverTemporaryFiles(const std::string& path)
{
    const std::wstring folder = FolderOf(WidePath(path));
    if (folder.empty()) return 0;
    FILETIME started{}, ignored{};
    if (!GetProcessTimes(GetCurrentProcess(), &started, &ignored, &ignored, &ignored)) return 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"~pv*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::size_t removed = 0;
    do {
        // The pattern also matches short (8.3) names; only the long name counts.
        const std::wstring name = found.cFileName;
        const bool ours = name.size() > 7 && _wcsnicmp(name.c_str(), L"~pv", 3) == 0 &&
                          _wcsicmp(name.c_str() + name.size() - 4, L".tmp") == 0;
        if (!ours || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (CompareFileTime(&found.ftLastWriteTime, &started) >= 0) continue;  // a save running now
        const std::wstring leftover = folder + found.cFileName;
        SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileW(leftover.c_str())) ++removed;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return removed;
}

}  // namespace pakvane
