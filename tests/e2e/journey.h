#pragma once
// A journey is one user story played against a real pakvane.exe: it starts the program
// in a private folder, works its windows from outside and checks what it sees and what
// lands on disk. Write one with
//
//   PAKVANE_JOURNEY(some_name) {
//     App& app = j.Start({j.WinPath("wincmd.ini")});
//     j.CheckEqual(WindowText(app.Control(ids::kIniShow)), j.WinPath("wincmd.ini"), "IniShow");
//     app.Close();
//     app.ExpectExit(0);
//   }
//
// at the start of a line in any .cpp file of this folder; the build turns it into the
// CTest test e2e.some_name. Inside the body `j` is the running Journey.

#include <windows.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <source_location>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "wait.h"

namespace pakvane::e2e {

namespace fs = std::filesystem;

class App;

std::string Utf8(std::wstring_view text);
// Bytes in a code page (UTF-8 unless told) as wide text.
std::wstring Widen(std::string_view bytes, UINT code_page = CP_UTF8);
// "/work/x/y" (how CTest names build paths) -> "Z:\work\x\y"; Windows paths pass as they are.
std::wstring ToWindowsPath(std::string_view path);

// Readable forms of checked values: wide text as quoted UTF-8, bytes with escapes.
std::string Describe(const std::wstring& value);
std::string Describe(const wchar_t* value);
std::string Describe(const std::string& value);
std::string Describe(const char* value);
std::string Describe(bool value);
template <class T>
requires std::is_arithmetic_v<T> std::string Describe(T value)
{
    return std::to_string(value);
}
template <class T>
std::string Describe(const std::optional<T>& value)
{
    return value ? Describe(*value) : std::string("(nothing)");
}
template <class T>
std::string Describe(const std::vector<T>& values)
{
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + Describe(values[i]);
    return out + "]";
}

// Files. Paths are Windows paths (Z:\...) or relative to the journey's work folder.
std::optional<std::string> ReadFileBytes(const fs::path& path);
void WriteFileBytes(const fs::path& path, std::string_view bytes);  // makes missing folders
// Lays out files under root: {"sub\\a.txt", "bytes"}; a name ending in '\\' is a folder.
void MakeTree(const fs::path& root, const std::vector<std::pair<std::string, std::string>>& entries);

// An INI file read the simple way (section and key names without regard to case, the first
// section and the first key of a name win, blanks around keys and values dropped, ';'
// lines skipped). Nothing when the file or the section or the key is missing.
std::optional<std::vector<std::string>> IniSection(const std::optional<std::string>& bytes,
                                                   std::string_view section);  // "key=value" lines
std::optional<std::string> IniValue(const std::optional<std::string>& bytes, std::string_view section,
                                    std::string_view key);

// Deletes a file or a folder with everything in it (read-only files too) through the
// plain Win32 calls; true when nothing is left.
bool RemoveTree(const fs::path& path, int depth = 0);

// Holds a file open without sharing, as another program might, until released.
class LockedFile {
public:
    explicit LockedFile(const fs::path& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~LockedFile() { Release(); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (Held()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

// Sets the read-only attribute for a while; cleared again so the folder can be removed.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(fs::path path) : path_(std::move(path))
    {
        set_ = SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
    }
    ~ReadOnlyFile() { Clear(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool Set() const { return set_; }
    void Clear()
    {
        if (set_) SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        set_ = false;
    }

private:
    fs::path path_;
    bool set_ = false;
};

// An environment variable of the driver (and so of the programs it starts) for a while.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name)
    {
        wchar_t old[32767];
        const DWORD n = GetEnvironmentVariableW(name, old, 32767);
        if (n > 0 && n < 32767) old_ = std::wstring(old, n);
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// Thrown by Abort/Require to leave a journey that cannot go on; the runner catches it.
struct JourneyAborted {};

class Journey {
public:
    Journey(std::string name, fs::path exe, fs::path work);
    ~Journey();
    Journey(const Journey&) = delete;
    Journey& operator=(const Journey&) = delete;

    const std::string& Name() const { return name_; }
    const fs::path& Work() const { return work_; }
    const fs::path& Exe() const { return exe_; }
    // A path inside the work folder, and the same as a Windows path string for arguments.
    fs::path At(const fs::path& relative) const { return work_ / relative; }
    std::wstring WinPath(const fs::path& relative) const { return At(relative).wstring(); }

    bool Check(bool ok, std::string_view message, std::source_location where = std::source_location::current());
    template <class A, class B>
    bool CheckEqual(const A& actual, const B& expected, std::string_view what,
                    std::source_location where = std::source_location::current())
    {
        if (actual == expected) return Check(true, what, where);
        return Check(false, std::string(what) + ": got " + Describe(actual) + ", expected " + Describe(expected),
                     where);
    }
    [[noreturn]] void Abort(std::string_view message, std::source_location where = std::source_location::current());
    void Require(bool ok, std::string_view message, std::source_location where = std::source_location::current())
    {
        if (!ok) Abort(message, where);
    }
    void Note(std::string_view message) const;
    // Waits for the condition; when the limit passes first, that is a failure naming what was
    // awaited. True when the condition came.
    template <class Condition>
    bool Await(Condition&& condition, DWORD timeout_ms, std::string_view what,
               std::source_location where = std::source_location::current())
    {
        if (WaitUntil(condition, Deadline(timeout_ms))) return Check(true, what, where);
        return Check(false, "waited " + std::to_string(timeout_ms) + " ms in vain until " + std::string(what), where);
    }

    int Checks() const { return checks_; }
    int Failures() const { return failures_; }

    // Copies pakvane.exe into the work folder (once) and starts it there with the arguments;
    // returns at once. Every App stays owned by the journey and is killed at its end.
    App& Launch(std::vector<std::wstring> args = {});
    // Launch, then wait for the main window; a message box on the way fails the journey.
    App& Start(std::vector<std::wstring> args = {});

    // End of the journey: any app still running must show no stray window; then it is killed.
    void Finish();

private:
    std::string name_;
    fs::path exe_;
    fs::path work_;
    int checks_ = 0;
    int failures_ = 0;
    std::vector<std::unique_ptr<App>> apps_;
};

using JourneyFn = void (*)(Journey&);
std::map<std::string, JourneyFn>& JourneyTable();
struct JourneyRegistrar {
    JourneyRegistrar(const char* name, JourneyFn fn) { JourneyTable()[name] = fn; }
};

// Runs one journey in a fresh work folder and prints its one-line result; 0 when it passed.
int RunJourney(const std::string& name, const fs::path& exe, const fs::path& work);

}  // namespace pakvane::e2e

#define PAKVANE_JOURNEY(name)                                                                                       \
    static void pakvane_journey_##name(::pakvane::e2e::Journey& j);                                                 \
    static const ::pakvane::e2e::JourneyRegistrar pakvane_journey_registrar_##name{#name, &pakvane_journey_##name}; \
    static void pakvane_journey_##name([[maybe_unused]] ::pakvane::e2e::Journey& j)
