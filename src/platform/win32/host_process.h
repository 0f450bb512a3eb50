#pragma once
// Running a probe host for one request: the library's path goes to its standard input, its
// answer comes back on a pipe of our own that is read while we wait, so that a host that
// says too much is stopped rather than left blocked on a full pipe.
#include <windows.h>

#include <string>

#include "plugins/probe_protocol.h"

namespace pakvane {

struct HostWait {
    DWORD timeoutMs = 0;  // the deadline, counted from the start
    // True: the deadline holds only until a whole answer line has arrived; after it the host
    // may take as long as it likes (a plugin's configuration window is open).
    bool deadlineEndsWithAnswer = false;
    // True: every message of this thread is dispatched while waiting (a modal wait); false:
    // only messages sent by other threads and processes, so that no user input is taken
    // while the program is in the middle of a command, yet nobody deadlocks on us.
    bool dispatchAllMessages = false;
};

struct HostRun {
    enum class End { NotStarted, Exited, TimedOut, TooLong };
    End end = End::NotStarted;
    DWORD startError = 0;
    DWORD exitCode = 0;
    std::string answer;  // what the host wrote; more than kMaxHostAnswer bytes ends it as TooLong
};

// Starts host with the request (its answer pipe is filled in here) and input on its standard
// input, and waits as asked. A host that runs out of time or writes too much is terminated.
HostRun RunHost(const std::wstring& host, HostRequest request, const std::string& input, const HostWait& wait);

}  // namespace pakvane
