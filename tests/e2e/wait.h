#pragma once
// Waiting for a condition with a limit. Every wait of the driver goes through here, so no
// step depends on how fast the machine happens to be, and a step that never comes says
// which condition it was waiting for.

#include <windows.h>

#include <algorithm>

namespace pakvane::e2e {

class Deadline {
public:
    explicit Deadline(DWORD ms) : ms_(ms), end_(GetTickCount64() + ms) {}
    bool Passed() const { return GetTickCount64() >= end_; }
    DWORD Milliseconds() const { return ms_; }

private:
    DWORD ms_;
    ULONGLONG end_;
};

// Asks the condition until it holds (true) or the deadline has passed (false). The pauses
// between asks start at a millisecond and grow to 20, so quick answers stay quick.
template <class Condition>
bool WaitUntil(Condition&& condition, const Deadline& deadline)
{
    for (DWORD pause = 1;; pause = std::min<DWORD>(pause * 2, 20)) {
        if (condition()) return true;
        if (deadline.Passed()) return false;
        Sleep(pause);
    }
}

}  // namespace pakvane::e2e
