#include "app.h"

#include <commctrl.h>

#include <stdexcept>

#include "app/control_ids.h"
#include "journey.h"
#include "wait.h"

namespace pakvane::e2e {

namespace {

class NulHandle {
public:
    explicit NulHandle(DWORD access)
    {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        handle_ = CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    }
    ~NulHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    NulHandle(const NulHandle&) = delete;
    NulHandle& operator=(const NulHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::wstring QuoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    // The rules CommandLineToArgvW and the C runtime read back: backslashes count only
    // in front of a quote.
    std::wstring quoted = L"\"";
    for (size_t i = 0;; ++i) {
        size_t backslashes = 0;
        while (i < arg.size() && arg[i] == L'\\') {
            ++i;
            ++backslashes;
        }
        if (i == arg.size()) {
            quoted.append(backslashes * 2, L'\\');
            break;
        }
        if (arg[i] == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        quoted += arg[i];
    }
    return quoted + L"\"";
}

PROCESS_INFORMATION StartProcess(const std::wstring& exe, const std::vector<std::wstring>& args,
                                 const std::wstring& folder)
{
    std::wstring command = QuoteArgument(exe);
    for (const auto& arg : args) command += L" " + QuoteArgument(arg);
    NulHandle input(GENERIC_READ);
    NulHandle output(GENERIC_WRITE);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + Utf8(command) + " (error " + std::to_string(GetLastError()) + ")");
    CloseHandle(info.hThread);
    info.hThread = nullptr;
    return info;
}

HWND FindMainWindow(DWORD pid)
{
    if (pid == 0) return FindWindowW(kMainFormClass, nullptr);
    const auto found = TopLevelWindows(pid, kMainFormClass);
    return found.empty() ? nullptr : found.front();
}

App::App(Journey& journey, const std::filesystem::path& exe, const std::vector<std::wstring>& args) : journey_(journey)
{
    PROCESS_INFORMATION info{};
    try {
        info = StartProcess(exe.wstring(), args, exe.parent_path().wstring());
    } catch (const std::exception& e) {
        journey_.Abort(e.what());
    }
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    std::string line = "started " + Utf8(exe.filename().wstring());
    for (const auto& arg : args) line += " " + Utf8(QuoteArgument(arg));
    journey_.Note(line + " (pid " + std::to_string(pid_) + ")");
}

App::~App()
{
    Kill();
    if (process_) CloseHandle(process_);
}

bool App::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::string App::DescribeWindow(HWND window) const
{
    const std::wstring cls = ClassName(window);
    std::string text = Utf8(cls) + " " + Describe(WindowText(window));
    if (cls == L"#32770") {
        const auto box = ReadMessageBox(window);
        text += " saying " + Describe(box.text);
    } else if (cls == L"#32768") {
        text = "popup menu " + Describe(ScreenRect(window));
    }
    return text;
}

void App::FailAndKill(std::string_view message, std::source_location where)
{
    Kill();
    journey_.Abort(message, where);
}

HWND App::WaitMainWindow(DWORD timeout_ms, std::source_location where)
{
    HWND window = nullptr;
    // The window can be found while it is still being created: wait for it to be shown with
    // its controls in place, or for the program to end or show a message box instead.
    const bool shown = WaitUntil(
        [&] {
            window = FindMainWindow(pid_);
            return !Running() || !VisibleDialogs(pid_).empty() ||
                   (window && IsWindowVisible(window) && FindDescendant(window, ids::kWcxList) &&
                    FindDescendant(window, ids::kCancelButton));
        },
        Deadline(timeout_ms));
    if (!Running()) {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        FailAndKill("pakvane.exe ended (exit code " + std::to_string(code) + ") before its main window appeared",
                    where);
    }
    if (const auto boxes = VisibleDialogs(pid_); !boxes.empty()) {
        const std::string what = DescribeWindow(boxes.front());
        PressBoxButton(boxes.front(), IDCANCEL);
        FailAndKill("unexpected window while waiting for the main window: " + what, where);
    }
    if (!shown)
        FailAndKill("the main window was not shown with its controls within " + std::to_string(timeout_ms) + " ms",
                    where);
    main_ = window;
    // The saved placement is applied at the first activation, through a message the program
    // posts to itself; let that happen before the journey starts.
    if (!WaitUntil([&] { return GetForegroundWindow() == main_; }, Deadline(kActivateTimeoutMs)))
        journey_.Note("the main window did not become active");
    Sync(where);
    // That message is posted, so it can still be queued behind the sent ones Sync waits
    // for: wait until the window has stood still for a while.
    RECT last{};
    GetWindowRect(main_, &last);
    DWORD stillSince = GetTickCount();
    WaitUntil(
        [&] {
            RECT now{};
            GetWindowRect(main_, &now);
            if (!EqualRect(&now, &last)) {
                last = now;
                stillSince = GetTickCount();
            }
            return GetTickCount() - stillSince >= 300;
        },
        Deadline(kActivateTimeoutMs));
    Sync(where);
    return main_;
}

HWND App::Control(int id, std::source_location where) const
{
    const HWND control = FindDescendant(main_, id);
    if (!control) journey_.Abort("the main window has no control with ID " + std::to_string(id), where);
    return control;
}

void App::Sync(std::source_location where)
{
    if (!main_ || !Running()) return;
    if (!::pakvane::e2e::Sync(main_) && IsWindow(main_) && Running())
        FailAndKill("pakvane.exe did not handle its messages within " + std::to_string(kSendTimeoutMs) + " ms", where);
}

MessageBoxInfo App::WaitMessageBox(DWORD timeout_ms, std::source_location where)
{
    WaitUntil([&] { return !VisibleDialogs(pid_).empty() || !Running(); }, Deadline(timeout_ms));
    if (const auto boxes = VisibleDialogs(pid_); !boxes.empty()) {
        // Shown means filled in; still, read it once its buttons are there.
        WaitUntil([&] { return !ReadMessageBox(boxes.front()).Buttons().empty(); }, Deadline(kBoxTimeoutMs));
        const auto box = ReadMessageBox(boxes.front());
        journey_.Note("message box " + Describe(box.caption) + ": " + Describe(box.text));
        return box;
    }
    if (!Running()) journey_.Abort("pakvane.exe ended while a message box was awaited", where);
    FailAndKill("no message box appeared within " + std::to_string(timeout_ms) + " ms", where);
}

std::optional<MessageBoxInfo> App::WaitStartupMessage(DWORD timeout_ms, std::source_location where)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = FindMainWindow(pid_);
            return !Running() || !VisibleDialogs(pid_).empty() || (window && IsWindowVisible(window));
        },
        Deadline(timeout_ms));
    if (!VisibleDialogs(pid_).empty()) return WaitMessageBox(kBoxTimeoutMs, where);
    if (!Running()) journey_.Abort("pakvane.exe ended during start-up", where);
    if (!window || !IsWindowVisible(window))
        FailAndKill("neither a message box nor the main window appeared within " + std::to_string(timeout_ms) + " ms",
                    where);
    // A message shown together with the window would still be stray: once the program has
    // handled two round trips it is in its message loop, or in the modal loop of that box.
    ::pakvane::e2e::Sync(window);
    if (!VisibleDialogs(pid_).empty()) return WaitMessageBox(kBoxTimeoutMs, where);
    return std::nullopt;
}

HWND App::WaitFileDialog(DWORD timeout_ms, std::source_location where)
{
    WaitUntil([&] { return !VisibleDialogs(pid_).empty() || !Running(); }, Deadline(timeout_ms));
    if (const auto dialogs = VisibleDialogs(pid_); !dialogs.empty()) {
        // The dialog fills in its controls after it shows.
        const HWND dialog = dialogs.front();
        if (WaitUntil([&] { return FileNameEdit(dialog) != nullptr; }, Deadline(kBoxTimeoutMs))) {
            journey_.Note("file dialog " + Describe(WindowText(dialog)));
            return dialog;
        }
        std::string what = DescribeWindow(dialog) + " with";
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            what += " " + Utf8(ClassName(child)) + "#" + std::to_string(GetDlgCtrlID(child)) +
                    (IsWindowVisible(child) ? "" : "(hidden)");
        PressBoxButton(dialog, IDCANCEL);
        FailAndKill("a file-open dialog was awaited, but this came: " + what, where);
    }
    if (!Running()) journey_.Abort("pakvane.exe ended while a file dialog was awaited", where);
    FailAndKill("no file dialog appeared within " + std::to_string(timeout_ms) + " ms", where);
}

void App::Answer(const MessageBoxInfo& box, int button, std::source_location where)
{
    if (!box.HasButton(button)) {
        PressBoxButton(box.hwnd, IDCANCEL);
        FailAndKill("message box " + Describe(box.caption) + " has no button " + std::to_string(button) + " (it has " +
                        Describe(box.Buttons()) + ")",
                    where);
    }
    PressBoxButton(box.hwnd, button);
    if (!WaitUntil([&] { return !IsShown(box.hwnd); }, Deadline(kBoxTimeoutMs)))
        FailAndKill("message box " + Describe(box.caption) + " did not close within " + std::to_string(kBoxTimeoutMs) +
                        " ms after button " + std::to_string(button),
                    where);
}

std::vector<HWND> App::PopupMenus() const
{
    std::vector<HWND> shown;
    for (HWND w : TopLevelWindows(pid_, L"#32768"))
        if (IsWindowVisible(w)) shown.push_back(w);
    return shown;
}

HWND App::WaitPopupMenu(DWORD timeout_ms) const
{
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            const auto menus = PopupMenus();
            menu = menus.empty() ? nullptr : menus.front();
            return menu != nullptr;
        },
        Deadline(timeout_ms));
    return menu;
}

bool App::SweepStray(std::string_view step, std::source_location where)
{
    if (!Running()) return true;
    std::vector<HWND> stray;
    for (HWND w : TopLevelWindows(pid_)) {
        if (w == main_ || !IsWindowVisible(w)) continue;
        if (ClassName(w) == TOOLTIPS_CLASSW) continue;
        stray.push_back(w);
    }
    if (stray.empty()) return true;
    std::string message = "stray window " + std::string(step) + ":";
    for (HWND w : stray) message += " [" + DescribeWindow(w) + "]";
    journey_.Check(false, message, where);
    for (HWND w : stray) {
        if (ClassName(w) == L"#32770") PressBoxButton(w, IDCANCEL);
        Post(w, WM_CLOSE);
    }
    if (main_) Post(main_, WM_CANCELMODE);
    Kill();
    return false;
}

void App::ExpectNoStray(std::string_view step, std::source_location where)
{
    if (!SweepStray(step, where)) throw JourneyAborted{};
}

void App::Close() const
{
    if (main_) Post(main_, WM_CLOSE);
}

std::optional<DWORD> App::WaitExit(DWORD timeout_ms, std::source_location where)
{
    WaitUntil([&] { return !Running() || !VisibleDialogs(pid_).empty(); }, Deadline(timeout_ms));
    if (Running()) {
        if (const auto boxes = VisibleDialogs(pid_); !boxes.empty()) {
            journey_.Check(false, "message box while waiting for pakvane.exe to end: " + DescribeWindow(boxes.front()),
                           where);
        } else {
            journey_.Check(false, "pakvane.exe did not end within " + std::to_string(timeout_ms) + " ms", where);
            SweepStray("while waiting for the end", where);
        }
        Kill();
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void App::ExpectExit(DWORD code, DWORD timeout_ms, std::source_location where)
{
    if (const auto actual = WaitExit(timeout_ms, where))
        journey_.CheckEqual(*actual, code, "exit code of pakvane.exe", where);
}

void App::Kill()
{
    if (!Running()) return;
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
}

FakeCommander::FakeCommander(Journey& journey, const std::filesystem::path& log)
{
    const std::filesystem::path exe = journey.Exe().parent_path() / L"pakvane_fake_commander.exe";
    try {
        info_ = StartProcess(exe.wstring(), {log.wstring()}, journey.Work().wstring());
    } catch (const std::exception& e) {
        journey.Abort(e.what());
    }
    WaitUntil(
        [&] {
            const auto found = TopLevelWindows(info_.dwProcessId, L"TTOTAL_CMD");
            if (!found.empty()) window_ = found.front();
            return window_ != nullptr;
        },
        Deadline(kStartTimeoutMs));
    if (!window_) {
        Stop();
        journey.Abort("the fake commander's window did not appear");
    }
    journey.Note("started the fake commander (pid " + std::to_string(info_.dwProcessId) + ")");
}

FakeCommander::~FakeCommander()
{
    Stop();
}

bool FakeCommander::Stop()
{
    if (!info_.hProcess) return false;
    if (window_) Post(window_, WM_CLOSE);
    DWORD code = 99;
    const bool ended = WaitForSingleObject(info_.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0;
    if (ended)
        GetExitCodeProcess(info_.hProcess, &code);
    else
        TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hProcess);
    info_.hProcess = nullptr;
    window_ = nullptr;
    return ended && code == 0;
}

}  // namespace pakvane::e2e
