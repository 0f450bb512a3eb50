// pakvane_e2e: plays user journeys against pakvane.exe, and starts or closes it for the
// run script.
//
//   pakvane_e2e --exe PAKVANE.EXE --journey NAME --work FOLDER
//   pakvane_e2e --list
//   pakvane_e2e --show PAKVANE.EXE [ARGS...]   start it where it is, wait until it is up
//   pakvane_e2e --select ROW                   select a row of the running one, as a click would
//   pakvane_e2e --close                        close the running one, declining to save

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app.h"
#include "app/control_ids.h"
#include "journey.h"
#include "wait.h"

namespace pakvane::e2e {
namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: pakvane_e2e --exe PAKVANE.EXE --journey NAME --work FOLDER\n"
                 "       pakvane_e2e --list\n"
                 "       pakvane_e2e --show PAKVANE.EXE [ARGS...]\n"
                 "       pakvane_e2e --select ROW\n"
                 "       pakvane_e2e --close\n");
}

int Show(const std::vector<std::string>& rest)
{
    if (rest.empty()) {
        Usage();
        return 2;
    }
    const fs::path exe = ToWindowsPath(rest[0]);
    std::vector<std::wstring> args;
    for (size_t i = 1; i < rest.size(); ++i) args.push_back(ToWindowsPath(rest[i]));
    PROCESS_INFORMATION info{};
    try {
        info = StartProcess(exe.wstring(), args, exe.parent_path().wstring());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pakvane_e2e: %s\n", e.what());
        return 1;
    }
    HWND main = nullptr;
    const auto ended = [&] { return WaitForSingleObject(info.hProcess, 0) != WAIT_TIMEOUT; };
    WaitUntil(
        [&] {
            main = FindMainWindow(info.dwProcessId);
            return ended() || !VisibleDialogs(info.dwProcessId).empty() || (main && IsWindowVisible(main));
        },
        Deadline(kStartTimeoutMs));
    int result = 0;
    if (const auto boxes = VisibleDialogs(info.dwProcessId); !boxes.empty()) {
        // A start-up message comes before the window; leave it on screen for the user.
        const auto box = ReadMessageBox(boxes.front());
        std::fprintf(stderr, "pakvane_e2e: message box %s: %s\n", Describe(box.caption).c_str(),
                     Describe(box.text).c_str());
        result = 3;
    } else if (ended()) {
        std::fprintf(stderr, "pakvane_e2e: pakvane.exe ended before its window appeared\n");
        result = 1;
    } else if (!main || !IsWindowVisible(main)) {
        std::fprintf(stderr, "pakvane_e2e: the main window did not appear\n");
        result = 1;
    } else {
        if (!WaitUntil([&] { return GetForegroundWindow() == main; }, Deadline(10000)))
            std::fprintf(stderr, "pakvane_e2e: the window is shown but not active\n");
        // Whoever looks next (a screenshot) should see it drawn.
        if (!Sync(main) || !WaitUntil([&] { return Painted(main); }, Deadline(10000)))
            std::fprintf(stderr, "pakvane_e2e: the window did not finish painting\n");
    }
    CloseHandle(info.hProcess);
    return result;
}

int Select(const std::string& row)
{
    const HWND main = FindMainWindow(0);
    const HWND list = main ? GetDlgItem(main, ids::kWcxList) : nullptr;
    const int index = std::atoi(row.c_str());
    if (!list || index < 0 || index >= static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0))) {
        std::fprintf(stderr, "pakvane_e2e: no Pakvane window with a row %s\n", row.c_str());
        return 1;
    }
    SelectRow(main, list, index);
    if (!Sync(main) || !WaitUntil([&] { return Painted(main); }, Deadline(10000)))
        std::fprintf(stderr, "pakvane_e2e: the window did not finish painting\n");
    return 0;
}

int Close()
{
    const HWND main = FindMainWindow(0);
    if (!main) {
        std::fprintf(stderr, "pakvane_e2e: no Pakvane window\n");
        return 1;
    }
    const DWORD pid = ProcessOf(main);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    Post(main, WM_CLOSE);
    const Deadline deadline(20000);
    const auto gone = [&] { return process ? WaitForSingleObject(process, 0) != WAIT_TIMEOUT : !IsWindow(main); };
    int result = 1;
    for (;;) {
        WaitUntil([&] { return gone() || !VisibleDialogs(pid).empty(); }, deadline);
        if (gone()) {
            result = 0;
            break;
        }
        if (const auto boxes = VisibleDialogs(pid); !boxes.empty()) {
            const auto info = ReadMessageBox(boxes.front());
            if (!info.HasButton(IDNO)) {
                std::fprintf(stderr, "pakvane_e2e: message box %s: %s\n", Describe(info.caption).c_str(),
                             Describe(info.text).c_str());
                break;
            }
            PressBoxButton(info.hwnd, IDNO);  // the save question: leave the files as they are
            WaitUntil([&] { return !IsShown(info.hwnd); }, deadline);
            continue;
        }
        std::fprintf(stderr, "pakvane_e2e: Pakvane did not close\n");
        break;
    }
    if (process) CloseHandle(process);
    return result;
}

int Main(int argc, char** argv)
{
    // Our output must not leak into programs we start (they may outlive us).
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, 0);

    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        Usage();
        return 2;
    }
    if (args[0] == "--show") return Show({args.begin() + 1, args.end()});
    if (args[0] == "--close") return Close();
    if (args[0] == "--select" && args.size() == 2) return Select(args[1]);
    if (args[0] == "--list") {
        for (const auto& entry : JourneyTable()) std::printf("%s\n", entry.first.c_str());
        return 0;
    }
    std::string exe, journey, work;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--exe")
            exe = args[i + 1];
        else if (args[i] == "--journey")
            journey = args[i + 1];
        else if (args[i] == "--work")
            work = args[i + 1];
        else {
            Usage();
            return 2;
        }
    }
    if (exe.empty() || journey.empty() || work.empty() || args.size() % 2 != 0) {
        Usage();
        return 2;
    }
    return RunJourney(journey, ToWindowsPath(exe), ToWindowsPath(work));
}

}  // namespace
}  // namespace pakvane::e2e

int main(int argc, char** argv)
{
    return pakvane::e2e::Main(argc, argv);
}
