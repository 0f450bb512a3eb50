// The commander notification against real windows of Total Commander's class: one on a
// thread of this process, one in another process (pakvane_fake_commander.exe, built beside
// this program), as a running Total Commander is.
#include "platform/commander.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pakvane {
namespace {

using Clock = std::chrono::steady_clock;

std::string BesideThisProgram(const char* name)
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

std::string TempFile(const char* prefix)
{
    std::string folder(GetTempPathA(0, nullptr), '\0');
    folder.resize(GetTempPathA(static_cast<DWORD>(folder.size()), folder.data()));
    char file[MAX_PATH];  // the size GetTempFileNameA requires
    if (!GetTempFileNameA(folder.c_str(), prefix, 0, file)) return folder + prefix + ".log";
    return file;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Runs the fake commander for one test and closes it afterwards.
class FakeCommander {
public:
    explicit FakeCommander(const std::string& arguments)
    {
        const std::string exe = BesideThisProgram("pakvane_fake_commander.exe");
        if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
            problem_ = exe + " is missing (the build makes it with the Windows tests)";
            return;
        }
        log_ = TempFile("pfc");
        std::string commandLine = "\"" + exe + "\" \"" + log_ + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info)) {
            problem_ = "cannot start " + exe;
            return;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        // Ready once its window exists and its message loop answers.
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline) {
            if (const HWND window = FindWindowA("TTOTAL_CMD", nullptr)) {
                DWORD_PTR result = 0;
                if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) {
                    window_ = window;
                    return;
                }
            }
            if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0) break;
        }
        problem_ = "the fake commander's window did not appear";
    }

    ~FakeCommander()
    {
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (process_) {
            if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
        if (!log_.empty()) DeleteFileA(log_.c_str());
    }

    FakeCommander(const FakeCommander&) = delete;
    FakeCommander& operator=(const FakeCommander&) = delete;

    const std::string& Problem() const { return problem_; }
    std::vector<std::string> Log() const { return ReadLines(log_); }

private:
    std::string problem_;
    std::string log_;
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A window of Total Commander's class on its own thread of this process, recording what it
// is sent. Within one process the system passes every message on as it is.
class InProcessCommander {
public:
    InProcessCommander()
    {
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return started_; });
    }

    ~InProcessCommander()
    {
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }

    bool Ready() const { return window_ != nullptr; }

    std::vector<std::string> Received()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<InProcessCommander*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message == WM_USER + 51 || message == WM_PAINT)) {
            if (message == WM_USER + 51) Sleep(100);  // a slow handler: the repaint must still come after it
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->received_.push_back(std::to_string(message) + " " + std::to_string(wParam) + " " +
                                      std::to_string(lParam));
            if (message == WM_PAINT) ValidateRect(window, nullptr);
            return 0;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void Run()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TTOTAL_CMD";
        RegisterClassA(&windowClass);
        const HWND window = CreateWindowExA(0, "TTOTAL_CMD", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                            windowClass.hInstance, nullptr);
        if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            window_ = window;
            started_ = true;
        }
        ready_.notify_one();
        MSG message;
        while (window && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        UnregisterClassA("TTOTAL_CMD", windowClass.hInstance);
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
    HWND window_ = nullptr;
    std::vector<std::string> received_;
};

TEST(CommanderNotifierTest, SendsTheReloadMessageThenTheRepaintEachHandledInTurn)
{
    InProcessCommander commander;
    ASSERT_TRUE(commander.Ready());
    EXPECT_EQ(MakeCommanderNotifier()->NotifyPluginsChanged(), CommanderNotice::Delivered);
    // SendMessage is synchronous: both are recorded by the time the notifier returns.
    EXPECT_EQ(commander.Received(), (std::vector<std::string>{"1075 2913 0", "15 65535 0"}));
}

TEST(CommanderNotifierTest, ReachesACommanderInAnotherProcess)
{
    FakeCommander commander("");
    ASSERT_EQ(commander.Problem(), "");
    EXPECT_TRUE(commander.Log().empty());

    const CommanderNotice notice = MakeCommanderNotifier()->NotifyPluginsChanged();
    // The fake writes each line before its handler returns, so the lines are there now.
    if (RunningUnderWine()) {
        // Wine takes a WM_PAINT's wParam for a device context and cannot pass it to another
        // process: the send fails at once and only the reload message arrives.
        EXPECT_EQ(notice, CommanderNotice::NotDelivered);
        EXPECT_EQ(commander.Log(), (std::vector<std::string>{"1075 2913 0"}));
    } else {
        EXPECT_EQ(notice, CommanderNotice::Delivered);
        EXPECT_EQ(commander.Log(), (std::vector<std::string>{"1075 2913 0", "15 65535 0"}));
    }
}

TEST(CommanderNotifierTest, WithoutACommanderSendsNothing)
{
    ASSERT_EQ(FindWindowA("TTOTAL_CMD", nullptr), nullptr) << "a commander window is already open";
    EXPECT_EQ(MakeCommanderNotifier()->NotifyPluginsChanged(), CommanderNotice::NoCommander);
}

// The commander's handler stays busy until the test lets it go: the notifier must give up
// and return while the handler is still running, and send nothing after that.
TEST(CommanderNotifierTest, ABusyCommanderHoldsTheSaveOnlyUntilTheTimeout)
{
    const std::string eventName = "pakvane-commander-busy-" + std::to_string(GetCurrentProcessId());
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(release, nullptr);
    std::vector<std::string> log;
    {
        FakeCommander commander("--stall-until " + eventName);
        ASSERT_EQ(commander.Problem(), "");
        EXPECT_EQ(MakeCommanderNotifier(300)->NotifyPluginsChanged(), CommanderNotice::NotDelivered);
        EXPECT_TRUE(commander.Log().empty()) << "the notifier returned only after the handler had finished";

        SetEvent(release);
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (commander.Log().empty() && Clock::now() < deadline) Sleep(10);
        // Anything more would have had to come from the notifier, which has returned.
        log = commander.Log();
    }
    CloseHandle(release);
    EXPECT_EQ(log, (std::vector<std::string>{"1075 2913 0"}));
}

}  // namespace
}  // namespace pakvane
