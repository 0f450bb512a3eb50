#include "window_startup.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "workload.h"

namespace pakvane::bench {
namespace {

constexpr int kListId = 104;  // WCXList
constexpr wchar_t kMainClass[] = L"TMainForm";
constexpr wchar_t kBareClass[] = L"PakvaneBareWindow";
constexpr double kShowLimitSeconds = 300;
// A start-up this slow is not repeated: its noise is small beside it, and the run stays short.
constexpr double kRepeatBelowSeconds = 10;
constexpr DWORD kCloseLimitMs = 30000;

struct Size {
    std::size_t rows;
    int runs;
};
const Size kSizes[] = {{1'000, 5}, {65'536, 3}, {200'000, 1}};
constexpr int kBareRuns = 5;

std::wstring ThisFolder()
{
    std::wstring path(256, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring Wide(const std::string& ansi)
{
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND found = nullptr;
    bool dialog = false;  // a message box or other dialog of the process is up
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpW(name, L"#32770") == 0) search.dialog = true;
    if (lstrcmpW(name, search.className) == 0) search.found = window;
    return TRUE;
}

BOOL CALLBACK MatchList(HWND window, LPARAM data)
{
    if (GetDlgCtrlID(window) != kListId) return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

struct Run {
    std::optional<double> seconds;
    std::string failure;
};

// One start-up: from CreateProcess until a visible window of the class, and with rows
// given, until its list counts them all; then the program is closed as a user would.
Run TimeStartup(const std::wstring& exe, const std::wstring& arguments, const wchar_t* className,
                std::optional<std::size_t> rows)
{
    std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" \"" + arguments + L"\"");
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info))
        return {std::nullopt, "cannot start (error " + std::to_string(GetLastError()) + ")"};
    CloseHandle(info.hThread);

    Run run;
    WindowSearch search{info.dwProcessId, className};
    for (;;) {
        search.found = nullptr;
        EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
        DWORD_PTR count = 0;
        // Either window counts as shown once it is visible and its program is back in its
        // message loop (so it has painted): a sent message is answered only there.
        if (search.found && !rows && SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &count)) {
            run.seconds = Now() - start;
            break;
        }
        HWND list = nullptr;
        if (search.found) EnumChildWindows(search.found, MatchList, reinterpret_cast<LPARAM>(&list));
        // Answered only once the program is back in its message loop, so a list still being
        // filled is counted when the filling is over.
        if (list && SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count) && count == *rows) {
            run.seconds = Now() - start;
            break;
        }
        if (search.dialog) {
            run.failure = "a dialog came up";
            break;
        }
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
            run.failure = "the program ended";
            break;
        }
        if (Now() - start > kShowLimitSeconds) {
            run.failure = "not shown with " + std::to_string(rows.value_or(0)) + " rows within " +
                          std::to_string(static_cast<int>(kShowLimitSeconds)) + " s (" + std::to_string(count) +
                          " so far)";
            break;
        }
        Sleep(1);
    }

    // Nothing was changed, so closing asks nothing; a program that does not end is stopped.
    if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, search.found && !search.dialog ? kCloseLimitMs : 0) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, kCloseLimitMs);
    }
    CloseHandle(info.hProcess);
    return run;
}

struct Figures {
    std::size_t rows = 0;  // 0: the bare window
    int runs = 0;
    std::optional<double> window;  // median; nothing when a run failed
    double core = 0;
    std::string failure;
};

Figures Measure(int runs, const std::function<Run()>& startOnce)
{
    Figures figures;
    std::vector<double> times;
    while (figures.runs < runs && figures.failure.empty()) {
        const Run run = startOnce();
        ++figures.runs;
        if (!run.seconds) {
            figures.failure = run.failure;
            break;
        }
        times.push_back(*run.seconds);
        if (*run.seconds > kRepeatBelowSeconds) break;
    }
    if (figures.failure.empty()) figures.window = Median(times);
    return figures;
}

const char* Verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

void Print(const Figures& bare, const std::vector<Figures>& all)
{
    std::printf(
        "\nStart-up to a shown window (ms, median of the runs; one over %.0f s is not repeated): from\n"
        "process creation until the window is visible and its program back in its message loop,\n"
        "and for Pakvane its list holds every row;\n"
        "core = load+sort of the same rows in-process\n",
        kRepeatBelowSeconds);
    std::printf("%8s %5s %10s %10s %12s %8s\n", "rows", "runs", "window", "core", "window-core", "x bare");
    if (bare.window)
        std::printf("%8s %5d %10.1f\n", "bare", bare.runs, *bare.window * 1000);
    else
        std::printf("%8s %5d  failed: %s\n", "bare", bare.runs, bare.failure.c_str());
    for (const Figures& f : all) {
        if (!f.window) {
            std::printf("%8zu %5d %10s %10.1f  failed: %s\n", f.rows, f.runs, "-", f.core * 1000, f.failure.c_str());
            continue;
        }
        std::printf("%8zu %5d %10.1f %10.1f %12.1f", f.rows, f.runs, *f.window * 1000, f.core * 1000,
                    (*f.window - f.core) * 1000);
        if (bare.window) std::printf(" %8.2f", *f.window / *bare.window);
        std::printf("\n");
    }

    std::printf("\nTargets (window)\n");
    for (const Figures& f : all) {
        if (f.rows == 200'000) {
            if (f.window)
                std::printf("  200,000 rows shown within 2 s: %.0f ms  %s\n", *f.window * 1000,
                            Verdict(*f.window <= 2.0));
            else
                std::printf("  200,000 rows shown within 2 s: not shown (%s)  NOT MET\n", f.failure.c_str());
        }
        if (f.rows == 1'000 && f.window && bare.window)
            std::printf("  1,000 rows within 1.5x the bare window: %.2fx  %s\n", *f.window / *bare.window,
                        Verdict(*f.window <= 1.5 * *bare.window));
    }
}

}  // namespace

bool RunWindowStartup(const CoreLoadSort& coreLoadSort)
{
    const std::wstring bin = ThisFolder();
    const std::wstring bareExe = bin + L"pakvane_bare_window.exe";
    // A private copy of the program, so that the settings file beside it is the benchmark's.
    const TempFolder folder("window");
    const std::wstring exe = Wide(folder.Path()) + L"pakvane.exe";
    if (!CopyFileW((bin + L"pakvane.exe").c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy pakvane.exe beside the benchmark (error " +
                                 std::to_string(GetLastError()) + ")");
    const std::string configuration = folder.Path() + "wincmd.ini";
    const std::string settings = folder.Path() + "pakvane.ini";

    std::printf("  measuring the bare window...\n");
    std::fflush(stdout);
    const Figures bare = Measure(kBareRuns, [&] { return TimeStartup(bareExe, L"", kBareClass, std::nullopt); });

    std::vector<Figures> all;
    bool complete = bare.window.has_value();
    for (const Size& size : kSizes) {
        std::printf("  measuring the window with %zu rows...\n", size.rows);
        std::fflush(stdout);
        const Workload work = MakeWorkload(size.rows);
        PutFile(configuration, work.configurationBytes);
        Figures figures = Measure(size.runs, [&] {
            // The settings as the workload has them, not as the last close left them.
            PutFile(settings, work.settingsBytes);
            return TimeStartup(exe, Wide(configuration), kMainClass, size.rows);
        });
        figures.rows = size.rows;
        figures.core = coreLoadSort(size.rows, size.runs);
        complete &= figures.window.has_value();
        all.push_back(figures);
    }
    Print(bare, all);
    return complete;
}

}  // namespace pakvane::bench
