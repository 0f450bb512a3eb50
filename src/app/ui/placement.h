#pragma once
// Putting a saved window position back on the screen as it is today.
#include <windows.h>

#include <span>
#include <vector>

namespace pakvane {

struct MonitorArea {
    RECT monitor;  // the whole monitor
    RECT work;  // without the taskbar and docked bars
};

// A window that would lie wholly outside every monitor (one was removed since the
// position was saved) is moved, at its size, into the work area of the nearest monitor;
// one that is at least partly visible stays where it was put.
RECT KeepOnMonitor(const RECT& wanted, std::span<const MonitorArea> monitors);

// The monitors of this session.
std::vector<MonitorArea> CurrentMonitors();

}  // namespace pakvane
