#include "platform/win32/host_process.h"

#include <algorithm>

namespace pakvane {

namespace {

UniqueHandle Owned(HANDLE handle)
{
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// After the host has ended, what it wrote is already in the pipe; a read still pending after
// this long means a process the plugin started holds the pipe open.
constexpr DWORD kDrainAfterExitMs = 500;
// How often a host is looked at for a window of its own while it must show one.
constexpr DWORD kWindowCheckMs = 200;

struct WindowSearch {
    DWORD processId;
    bool found = false;
};

BOOL CALLBACK NoteProcessWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    search.found = true;
    return FALSE;
}

// Whether the process has a visible top-level window (owned ones included).
bool ShowsWindow(DWORD processId)
{
    WindowSearch search{processId};
    EnumWindows(NoteProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
// How long an idle host may take to end once its input is closed.
constexpr DWORD kEndWaitMs = 200;

// The answer pipe: our end is read overlapped (an anonymous pipe cannot be), the host's end
// is an ordinary inheritable handle.
struct AnswerPipe {
    UniqueHandle ours;
    UniqueHandle hosts;
};

AnswerPipe MakeAnswerPipe()
{
    static unsigned serial = 0;
    const std::wstring name = L"\\\\.\\pipe\\pakvane-host-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++serial);
    AnswerPipe pipe;
    pipe.ours =
        Owned(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                               static_cast<DWORD>(kMaxHostAnswer), 0, nullptr));
    if (!pipe.ours) return pipe;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    pipe.hosts = Owned(CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr));
    return pipe;
}

// Runs sent messages (or all messages) of this thread; a WM_QUIT taken here is put back
// when the wait is over.
class MessagePump {
public:
    explicit MessagePump(bool all) : all_(all) {}
    ~MessagePump()
    {
        if (quit_) PostQuitMessage(quitCode_);
    }
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;

    DWORD WakeMask() const { return all_ ? QS_ALLINPUT : QS_SENDMESSAGE; }
    DWORD WaitFlags() const { return all_ ? MWMO_INPUTAVAILABLE : 0; }
    void Run()
    {
        MSG message{};
        if (!all_) {
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            return;
        }
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit_ = true;
                quitCode_ = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

private:
    bool all_;
    bool quit_ = false;
    int quitCode_ = 0;
};

}  // namespace

// An overlapped read of the answer pipe, always finished or cancelled before it goes away.
class HostProcess::Reader {
public:
    explicit Reader(HANDLE pipe) : pipe_(pipe), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Reader() { Cancel(); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool Pending() const { return pending_; }
    bool Ended() const { return ended_; }
    HANDLE Event() const { return event_.get(); }

    // Starts reads until one stays pending or the pipe ends; what arrives goes to text.
    void Start(std::string& text)
    {
        while (!pending_ && !ended_ && text.size() <= kMaxHostAnswer) {
            overlapped_ = OVERLAPPED{};
            overlapped_.hEvent = event_.get();
            DWORD got = 0;
            if (ReadFile(pipe_, chunk_, sizeof chunk_, &got, &overlapped_)) {
                text.append(chunk_, got);
            } else if (GetLastError() == ERROR_IO_PENDING) {
                pending_ = true;
            } else {
                ended_ = true;  // ERROR_BROKEN_PIPE: every writer has closed its end
            }
        }
    }
    // Takes what has arrived without waiting for more.
    void Poll(std::string& text)
    {
        if (pending_ && WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0) Finish(text);
        Start(text);
    }
    void Finish(std::string& text)
    {
        DWORD got = 0;
        pending_ = false;
        if (GetOverlappedResult(pipe_, &overlapped_, &got, FALSE)) {
            text.append(chunk_, got);
        } else {
            ended_ = true;
        }
    }
    void Cancel()
    {
        if (!pending_) return;
        CancelIo(pipe_);
        DWORD got = 0;
        GetOverlappedResult(pipe_, &overlapped_, &got, TRUE);
        pending_ = false;
        ended_ = true;
    }

private:
    HANDLE pipe_;
    UniqueHandle event_;
    OVERLAPPED overlapped_{};
    char chunk_[1024];
    bool pending_ = false;
    bool ended_ = false;
};

HostProcess::HostProcess(const std::wstring& host, HostRequest request)
{
    AnswerPipe answer = MakeAnswerPipe();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inputRead = nullptr, inputWrite = nullptr;
    // Room for a whole framed path, so that sending one never waits for the host.
    if (!answer.hosts || !CreatePipe(&inputRead, &inputWrite, &inherit, static_cast<DWORD>(kMaxHostPath + 64))) {
        startError_ = GetLastError();
        return;
    }
    UniqueHandle hostInput(inputRead);
    input_.reset(inputWrite);
    SetHandleInformation(input_.get(), HANDLE_FLAG_INHERIT, 0);

    request.answerHandle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(answer.hosts.get()));
    const std::string arguments = FormatHostArguments(request);
    std::wstring commandLine = L"\"" + host + L"\" " + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = hostInput.get();
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(host.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &started)) {
        startError_ = GetLastError();
        input_.reset();
        return;
    }
    process_.reset(started.hProcess);
    const UniqueHandle thread(started.hThread);
    answers_ = std::move(answer.ours);
    reader_ = std::make_unique<Reader>(answers_.get());
    // A plugin's window may come to the front, as it would from our own process.
    AllowSetForegroundWindow(started.dwProcessId);
    ResumeThread(thread.get());
}

HostProcess::~HostProcess()
{
    if (!process_) return;
    input_.reset();
    if (!exited_ && WaitForSingleObject(process_.get(), kEndWaitMs) != WAIT_OBJECT_0) Terminate();
}

bool HostProcess::Idle()
{
    if (!process_ || exited_ || WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) return false;
    if (!input_) return false;
    reader_->Poll(received_);
    return received_.empty() && !reader_->Ended();
}

void HostProcess::SendPath(const std::string& path)
{
    if (!input_) return;
    const std::string frame = FramePath(path);
    std::size_t done = 0;
    while (done < frame.size()) {
        DWORD written = 0;
        if (!WriteFile(input_.get(), frame.data() + done, static_cast<DWORD>(frame.size() - done), &written, nullptr)) {
            return;
        }
        done += written;
    }
}

HostAnswer HostProcess::NextLine(const HostWait& wait)
{
    return Wait(false, wait);
}

HostAnswer HostProcess::WaitForExit(const HostWait& wait)
{
    input_.reset();
    return Wait(true, wait);
}

void HostProcess::Terminate()
{
    if (!process_ || exited_) return;
    TerminateProcess(process_.get(), ERROR_TIMEOUT);
    WaitForSingleObject(process_.get(), INFINITE);
    exited_ = true;
    reader_->Cancel();
}

HostAnswer HostProcess::Wait(bool untilExit, const HostWait& wait)
{
    HostAnswer answer;
    if (!process_) return answer;
    const ULONGLONG deadline = wait.timeoutMs == INFINITE ? 0 : GetTickCount64() + wait.timeoutMs;
    ULONGLONG windowSeen = GetTickCount64();
    MessagePump pump(wait.dispatchAllMessages);
    for (;;) {
        reader_->Start(received_);
        const std::size_t lineEnd = received_.find('\n');
        if (!untilExit && lineEnd != std::string::npos && lineEnd < kMaxHostAnswer) {
            answer.end = HostAnswer::End::Line;
            answer.line = received_.substr(0, lineEnd + 1);
            received_.erase(0, lineEnd + 1);
            return answer;
        }
        if (received_.size() > kMaxHostAnswer) {
            Terminate();
            answer.end = HostAnswer::End::TooLong;
            return answer;
        }
        if (exited_ && reader_->Ended()) {
            answer.end = HostAnswer::End::Exited;
            answer.line = std::move(received_);
            received_.clear();
            GetExitCodeProcess(process_.get(), &answer.exitCode);
            return answer;
        }
        DWORD timeout = INFINITE;
        if (deadline != 0) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline && !exited_) {
                Terminate();
                answer.end = HostAnswer::End::TimedOut;
                return answer;
            }
            timeout = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        }
        if (wait.windowlessLimitMs != 0 && !exited_) {
            const ULONGLONG now = GetTickCount64();
            if (ShowsWindow(GetProcessId(process_.get()))) {
                windowSeen = now;
            } else if (now - windowSeen >= wait.windowlessLimitMs) {
                Terminate();
                answer.end = HostAnswer::End::TimedOut;
                return answer;
            }
            timeout = std::min(timeout, kWindowCheckMs);
        }
        if (exited_) timeout = std::min(timeout, kDrainAfterExitMs);
        HANDLE handles[2];
        DWORD count = 0;
        if (reader_->Pending()) handles[count++] = reader_->Event();
        if (!exited_) handles[count++] = process_.get();
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, handles, timeout, pump.WakeMask(), pump.WaitFlags());
        if (woke == WAIT_OBJECT_0 + count) {
            pump.Run();
        } else if (woke < WAIT_OBJECT_0 + count) {
            if (handles[woke - WAIT_OBJECT_0] == reader_->Event()) {
                reader_->Finish(received_);
            } else {
                exited_ = true;
            }
        } else if (woke == WAIT_TIMEOUT && exited_) {
            reader_->Cancel();
        } else if (woke == WAIT_FAILED) {
            Terminate();
            answer.end = HostAnswer::End::TimedOut;
            return answer;
        }
    }
}

}  // namespace pakvane
