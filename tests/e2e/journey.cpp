#include "journey.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app.h"

namespace pakvane::e2e {

std::string Utf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Widen(std::string_view bytes, UINT code_page)
{
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::wstring ToWindowsPath(std::string_view path)
{
    std::wstring wide = Widen(path);
    if (wide.empty() || wide.front() != L'/') return wide;
    for (auto& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
}

std::string Describe(const std::wstring& value)
{
    return "\"" + Utf8(value) + "\"";
}
std::string Describe(const wchar_t* value)
{
    return value ? Describe(std::wstring(value)) : std::string("(null)");
}
std::string Describe(const char* value)
{
    return value ? Describe(std::string(value)) : std::string("(null)");
}
std::string Describe(bool value)
{
    return value ? "true" : "false";
}

std::string Describe(const std::string& value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : value) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out + "\"";
}

std::optional<std::string> ReadFileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& path, std::string_view bytes)
{
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + Utf8(path.wstring()));
}

void MakeTree(const fs::path& root, const std::vector<std::pair<std::string, std::string>>& entries)
{
    for (const auto& [name, bytes] : entries) {
        const fs::path path = root / Widen(name);
        if (!name.empty() && (name.back() == '\\' || name.back() == '/'))
            fs::create_directories(path);
        else
            WriteFileBytes(path, bytes);
    }
}

namespace {

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::optional<std::vector<std::string>> IniSection(const std::optional<std::string>& bytes, std::string_view section)
{
    if (!bytes) return std::nullopt;
    std::optional<std::vector<std::string>> lines;
    bool inside = false;
    std::string_view rest = *bytes;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = TrimBlanks(line);
        if (!line.empty() && line.front() == '[') {
            if (lines) break;  // the first section of the name only
            const size_t close = line.find(']');
            inside = close != std::string_view::npos && SameName(TrimBlanks(line.substr(1, close - 1)), section);
            if (inside) lines.emplace();
            continue;
        }
        if (!inside || line.empty() || line.front() == ';') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        lines->push_back(std::string(TrimBlanks(line.substr(0, equals))) + "=" +
                         std::string(TrimBlanks(line.substr(equals + 1))));
    }
    return lines;
}

std::optional<std::string> IniValue(const std::optional<std::string>& bytes, std::string_view section,
                                    std::string_view key)
{
    const auto lines = IniSection(bytes, section);
    if (!lines) return std::nullopt;
    for (const auto& line : *lines) {
        const size_t equals = line.find('=');
        if (SameName(std::string_view(line).substr(0, equals), key)) return line.substr(equals + 1);
    }
    return std::nullopt;
}

bool RemoveTree(const fs::path& path, int depth)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(path.c_str()) != FALSE;
    }
    if (depth > 16) return false;
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path / L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    bool ok = true;
    for (const auto& name : names) ok = RemoveTree(path / name, depth + 1) && ok;
    return RemoveDirectoryW(path.c_str()) != FALSE && ok;
}

std::map<std::string, JourneyFn>& JourneyTable()
{
    static std::map<std::string, JourneyFn> table;
    return table;
}

Journey::Journey(std::string name, fs::path exe, fs::path work)
    : name_(std::move(name)),
      exe_(std::move(exe)),
      work_(std::move(work))
{
}

Journey::~Journey() = default;

bool Journey::Check(bool ok, std::string_view message, std::source_location where)
{
    ++checks_;
    if (ok) return true;
    ++failures_;
    const std::string file = fs::path(where.file_name()).filename().string();
    std::printf("  FAIL e2e.%s %s:%u: %.*s\n", name_.c_str(), file.c_str(), static_cast<unsigned>(where.line()),
                static_cast<int>(message.size()), message.data());
    std::fflush(stdout);
    return false;
}

void Journey::Abort(std::string_view message, std::source_location where)
{
    Check(false, message, where);
    throw JourneyAborted{};
}

void Journey::Note(std::string_view message) const
{
    std::printf("  e2e.%s: %.*s\n", name_.c_str(), static_cast<int>(message.size()), message.data());
    std::fflush(stdout);
}

App& Journey::Launch(std::vector<std::wstring> args)
{
    // A private copy, so that the settings file beside it belongs to this journey alone; the
    // probe hosts, which ship beside the program, come along.
    const fs::path copy = work_ / exe_.filename();
    if (!fs::exists(copy)) {
        for (const fs::path& name : {exe_.filename(), fs::path(L"pakvane-host32.exe"), fs::path(L"pakvane-host64.exe")}) {
            const fs::path from = exe_.parent_path() / name;
            if (name != exe_.filename() && !fs::exists(from)) continue;
            std::error_code error;
            fs::copy_file(from, work_ / name, fs::copy_options::overwrite_existing, error);
            if (error) Abort("cannot copy " + Utf8(from.wstring()) + ": " + error.message());
        }
    }
    apps_.push_back(std::make_unique<App>(*this, copy, args));
    return *apps_.back();
}

App& Journey::Start(std::vector<std::wstring> args)
{
    App& app = Launch(std::move(args));
    app.WaitMainWindow();
    return app;
}

void Journey::Finish()
{
    for (auto& app : apps_) {
        app->SweepStray("at the end of the journey", std::source_location::current());
        app->Kill();
    }
    apps_.clear();
}

int RunJourney(const std::string& name, const fs::path& exe, const fs::path& work)
{
    const auto found = JourneyTable().find(name);
    if (found == JourneyTable().end()) {
        std::printf("FAIL e2e.%s: no such journey\n", name.c_str());
        return 2;
    }
    // Not fs::remove_all: under Wine it can loop for ever on a name the Unix locale of the
    // run cannot spell (a Cyrillic folder left by a run under another locale).
    if (!RemoveTree(work)) {
        std::printf("FAIL e2e.%s: cannot clear %s (a name this run's locale cannot spell?)\n", name.c_str(),
                    Utf8(work.wstring()).c_str());
        return 2;
    }
    std::error_code error;
    fs::create_directories(work, error);
    if (error) {
        std::printf("FAIL e2e.%s: cannot make %s: %s\n", name.c_str(), Utf8(work.wstring()).c_str(),
                    error.message().c_str());
        return 2;
    }

    Journey journey(name, exe, work);
    // The second run of the journeys is meant to happen under another ANSI code page; make
    // sure it really does, or it would prove nothing.
    if (const char* expected = std::getenv("PAKVANE_EXPECT_ACP"); expected && *expected)
        journey.CheckEqual(static_cast<unsigned>(GetACP()), static_cast<unsigned>(std::strtoul(expected, nullptr, 10)),
                           "ANSI code page of the run");
    try {
        found->second(journey);
    } catch (const JourneyAborted&) {
        // Already reported.
    } catch (const std::exception& e) {
        journey.Check(false, std::string("exception: ") + e.what());
    }
    journey.Finish();

    const bool passed = journey.Failures() == 0 && journey.Checks() > 0;
    if (passed)
        std::printf("PASS e2e.%s (%d checks, code page %u)\n", name.c_str(), journey.Checks(), GetACP());
    else
        std::printf("FAIL e2e.%s (%d of %d checks failed, code page %u)\n", name.c_str(), journey.Failures(),
                    journey.Checks(), GetACP());
    std::fflush(stdout);
    return passed ? 0 : 1;
}

}  // namespace pakvane::e2e
