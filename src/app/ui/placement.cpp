#include "app/ui/placement.h"

#include <algorithm>
#include <climits>

namespace pakvane {

namespace {

bool Overlaps(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Squared distance between two rectangles (0 when they touch or overlap).
long long Distance(const RECT& a, const RECT& b)
{
    const long long dx = std::max({0L, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0L, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(MonitorArea{info.rcMonitor, info.rcWork});
    }
    return TRUE;
}

}  // namespace

RECT KeepOnMonitor(const RECT& wanted, std::span<const MonitorArea> monitors)
{
    const MonitorArea* nearest = nullptr;
    long long best = LLONG_MAX;
    for (const MonitorArea& area : monitors) {
        if (Overlaps(wanted, area.monitor)) return wanted;
        const long long distance = Distance(wanted, area.monitor);
        if (distance < best) {
            best = distance;
            nearest = &area;
        }
    }
    if (!nearest) return wanted;
    const RECT& work = nearest->work;
    const LONG width = wanted.right - wanted.left;
    const LONG height = wanted.bottom - wanted.top;
    const LONG left = std::max(work.left, std::min(wanted.left, work.right - width));
    const LONG top = std::max(work.top, std::min(wanted.top, work.bottom - height));
    return RECT{left, top, left + width, top + height};
}

std::vector<MonitorArea> CurrentMonitors()
{
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &NoteMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace pakvane
