#pragma once
// One running pakvane.exe, seen from outside. Every wait has a limit; a window the journey
// did not expect (a message box, a menu left open) fails the journey and is closed.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <source_location>
#include <string>
#include <string_view>
#include <vector>

#include "wait.h"
#include "window.h"

namespace pakvane::e2e {

class Journey;

inline constexpr DWORD kStartTimeoutMs = 20000;
inline constexpr DWORD kBoxTimeoutMs = 10000;
inline constexpr DWORD kExitTimeoutMs = 5000;
inline constexpr DWORD kActivateTimeoutMs = 3000;

// Starts a program; the standard handles go to NUL so that a child that outlives the
// driver never holds the test runner's output pipe. Throws std::runtime_error on failure.
PROCESS_INFORMATION StartProcess(const std::wstring& exe, const std::vector<std::wstring>& args,
                                 const std::wstring& folder);
std::wstring QuoteArgument(const std::wstring& arg);
// The main window (class TMainForm) of a process, or of any process when pid is 0.
HWND FindMainWindow(DWORD pid);

class App {
public:
    App(Journey& journey, const std::filesystem::path& exe, const std::vector<std::wstring>& args);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    DWORD Pid() const { return pid_; }
    bool Running() const;

    // Waits until the main window is shown, has its controls and (if Wine lets it) is active,
    // then lets the deferred start-up work run. A message box on the way fails the journey.
    HWND WaitMainWindow(DWORD timeout_ms = kStartTimeoutMs,
                        std::source_location where = std::source_location::current());
    HWND Main() const { return main_; }
    // A control of the main window by ID; aborts the journey when it does not exist.
    HWND Control(int id, std::source_location where = std::source_location::current()) const;
    // Waits until the program has handled the input posted so far (see Sync in window.h), for
    // looks that must see nothing change; a program that stops answering fails the journey.
    void Sync(std::source_location where = std::source_location::current());

    // Message boxes of this process. WaitMessageBox aborts the journey when none appears.
    MessageBoxInfo WaitMessageBox(DWORD timeout_ms = kBoxTimeoutMs,
                                  std::source_location where = std::source_location::current());
    // At start-up: the message box that comes before the main window is shown, or nothing
    // when the main window shows first (then its absence is for the journey to judge).
    std::optional<MessageBoxInfo> WaitStartupMessage(DWORD timeout_ms = kStartTimeoutMs,
                                                     std::source_location where = std::source_location::current());
    // The common file-open dialog of this process; a message box instead fails the journey.
    HWND WaitFileDialog(DWORD timeout_ms = kBoxTimeoutMs, std::source_location where = std::source_location::current());
    // Presses the button and waits until the box has gone.
    void Answer(const MessageBoxInfo& box, int button, std::source_location where = std::source_location::current());

    // A visible popup menu (#32768) of this process, or nullptr after the timeout.
    HWND WaitPopupMenu(DWORD timeout_ms = 3000) const;
    std::vector<HWND> PopupMenus() const;

    // Fails (and closes the window, kills the program, aborts the journey) when the process
    // shows any window but its main window and tooltips.
    void ExpectNoStray(std::string_view step, std::source_location where = std::source_location::current());
    // The same without aborting, for the end of a journey; true when nothing stray was there.
    bool SweepStray(std::string_view step, std::source_location where);

    void Close() const;  // WM_CLOSE to the main window; answers nothing
    // Waits for the process to end; a message box meanwhile fails the journey. Exit code.
    std::optional<DWORD> WaitExit(DWORD timeout_ms = kExitTimeoutMs,
                                  std::source_location where = std::source_location::current());
    // WaitExit and check the exit code.
    void ExpectExit(DWORD code, DWORD timeout_ms = kExitTimeoutMs,
                    std::source_location where = std::source_location::current());
    void Kill();

private:
    [[noreturn]] void FailAndKill(std::string_view message, std::source_location where);
    std::string DescribeWindow(HWND window) const;

    Journey& journey_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
};

// The stand-in for a running Total Commander (pakvane_fake_commander.exe beside the
// program under test): a hidden TTOTAL_CMD window that logs the messages it receives.
class FakeCommander {
public:
    // Starts it with the log file and waits for its window; aborts the journey if it fails.
    FakeCommander(Journey& journey, const std::filesystem::path& log);
    ~FakeCommander();
    FakeCommander(const FakeCommander&) = delete;
    FakeCommander& operator=(const FakeCommander&) = delete;

    // Closes it as the user would; true when it ended by itself with code 0.
    bool Stop();

private:
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
};

}  // namespace pakvane::e2e
