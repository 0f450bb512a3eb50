#pragma once
// One running probe host: paths go to its standard input, its answers come back on a pipe of
// our own that is read while we wait, so that a host that says too much is stopped rather
// than left blocked on a full pipe.
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "plugins/probe_protocol.h"

namespace pakvane {

struct HostWait {
    DWORD timeoutMs = INFINITE;
    // True: every message of this thread is dispatched while waiting (a modal wait); false:
    // only messages sent by other threads and processes, so that no user input is taken in
    // the middle of a command, yet nobody who sends us a message waits for the plugin.
    bool dispatchAllMessages = false;
    // Not 0: a host that shows no visible top-level window for this long is ended as timed
    // out (a plugin's configuration that neither opens a window nor returns).
    DWORD windowlessLimitMs = 0;
};

struct HostAnswer {
    enum class End { Line, Exited, TimedOut, TooLong };
    End end = End::Exited;
    std::string line;  // Line: the answer with its "\n"; Exited: whatever came without one
    DWORD exitCode = 0;  // Exited
};

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept
    {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

class HostProcess {
public:
    // Starts host for the request (its answer pipe is filled in here); see Started().
    HostProcess(const std::wstring& host, HostRequest request);
    // Closes the host's input, so that it ends, and ends it if it has not within a moment.
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD StartError() const { return startError_; }
    // Still running, and nothing unasked-for has arrived from it.
    bool Idle();
    void SendPath(const std::string& path);
    // The next answer line, or why there is none. A host that runs out of time or writes
    // too much is ended.
    HostAnswer NextLine(const HostWait& wait);
    // Closes the host's input and waits for its end.
    HostAnswer WaitForExit(const HostWait& wait);
    void Terminate();

private:
    class Reader;
    HostAnswer Wait(bool untilExit, const HostWait& wait);

    UniqueHandle process_;
    UniqueHandle input_;
    UniqueHandle answers_;
    std::unique_ptr<Reader> reader_;
    std::string received_;
    DWORD startError_ = 0;
    bool exited_ = false;
};

}  // namespace pakvane
