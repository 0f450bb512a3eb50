#include "platform/win32/host_process.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace pakvane {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept
    {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

UniqueHandle Owned(HANDLE handle)
{
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// After the host has exited, what it wrote is already in the pipe; a read that is still
// pending after this long means a process the plugin started holds the pipe open.
constexpr DWORD kDrainAfterExitMs = 500;
constexpr DWORD kTerminateWaitMs = 5000;

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
    pipe.ours = Owned(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
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

// An overlapped read of the answer pipe, always finished or cancelled before it goes away.
class AnswerReader {
public:
    explicit AnswerReader(HANDLE pipe) : pipe_(pipe), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~AnswerReader() { Cancel(); }
    AnswerReader(const AnswerReader&) = delete;
    AnswerReader& operator=(const AnswerReader&) = delete;

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

void WriteInput(HANDLE pipe, const std::string& input)
{
    std::size_t done = 0;
    while (done < input.size()) {
        DWORD written = 0;
        if (!WriteFile(pipe, input.data() + done, static_cast<DWORD>(input.size() - done), &written, nullptr)) return;
        done += written;
    }
}

}  // namespace

HostRun RunHost(const std::wstring& host, HostRequest request, const std::string& input, const HostWait& wait)
{
    HostRun run;
    AnswerPipe answer = MakeAnswerPipe();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inputRead = nullptr, inputWrite = nullptr;
    // Sized to hold the whole path, so that writing it never waits for the host.
    if (!answer.hosts || !CreatePipe(&inputRead, &inputWrite, &inherit, static_cast<DWORD>(input.size() + 64))) {
        run.startError = GetLastError();
        return run;
    }
    UniqueHandle hostInput(inputRead), ourInput(inputWrite);
    SetHandleInformation(ourInput.get(), HANDLE_FLAG_INHERIT, 0);

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
        run.startError = GetLastError();
        return run;
    }
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    const ULONGLONG deadline = GetTickCount64() + wait.timeoutMs;
    // Only the host holds its ends now, so the pipes end when it does.
    answer.hosts.reset();
    hostInput.reset();
    // A plugin's window may come to the front, as it would in our own process.
    AllowSetForegroundWindow(started.dwProcessId);
    ResumeThread(thread.get());
    WriteInput(ourInput.get(), input);
    ourInput.reset();

    AnswerReader reader(answer.ours.get());
    MessagePump pump(wait.dispatchAllMessages);
    bool exited = false;
    for (;;) {
        reader.Start(run.answer);
        if (run.answer.size() > kMaxHostAnswer) {
            run.end = HostRun::End::TooLong;
            break;
        }
        if (exited && reader.Ended()) {
            run.end = HostRun::End::Exited;
            GetExitCodeProcess(process.get(), &run.exitCode);
            break;
        }
        DWORD timeout = INFINITE;
        const bool answered = run.answer.find('\n') != std::string::npos;
        if (!(wait.deadlineEndsWithAnswer && answered)) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline && !exited) {
                run.end = HostRun::End::TimedOut;
                break;
            }
            timeout = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        }
        if (exited) timeout = std::min(timeout, kDrainAfterExitMs);
        HANDLE handles[2];
        DWORD count = 0;
        if (reader.Pending()) handles[count++] = reader.Event();
        if (!exited) handles[count++] = process.get();
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, handles, timeout, pump.WakeMask(), pump.WaitFlags());
        if (woke == WAIT_OBJECT_0 + count) {
            pump.Run();
        } else if (woke < WAIT_OBJECT_0 + count) {
            if (handles[woke - WAIT_OBJECT_0] == reader.Event()) {
                reader.Finish(run.answer);
            } else {
                exited = true;
            }
        } else if (woke == WAIT_TIMEOUT && exited) {
            reader.Cancel();
        } else if (woke == WAIT_FAILED) {
            run.end = HostRun::End::TimedOut;
            break;
        }
    }
    reader.Cancel();
    if (!exited) {
        TerminateProcess(process.get(), ERROR_TIMEOUT);
        WaitForSingleObject(process.get(), kTerminateWaitMs);
    }
    return run;
}

}  // namespace pakvane
