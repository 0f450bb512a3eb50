// pakvane_e2e: plays user journeys against pakvane.exe, and starts or closes it for the
// run script.
//
//   pakvane_e2e --exe PAKVANE.EXE --journey NAME --work FOLDER
//   pakvane_e2e --list
//   pakvane_e2e --show PAKVANE.EXE [ARGS...]   start it where it is, wait until it is up
//   pakvane_e2e --close                        close the running one, declining to save

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app.h"
#include "journey.h"

namespace pakvane::e2e {
namespace {

bool Expired(ULONGLONG deadline) { return GetTickCount64() >= deadline; }

void Usage() {
  std::fprintf(stderr,
               "usage: pakvane_e2e --exe PAKVANE.EXE --journey NAME --work FOLDER\n"
               "       pakvane_e2e --list\n"
               "       pakvane_e2e --show PAKVANE.EXE [ARGS...]\n"
               "       pakvane_e2e --close\n");
}

int Show(const std::vector<std::string>& rest) {
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
  const ULONGLONG deadline = GetTickCount64() + kStartTimeoutMs;
  HWND main = nullptr;
  int result = 0;
  for (;;) {
    if (WaitForSingleObject(info.hProcess, 0) != WAIT_TIMEOUT) {
      std::fprintf(stderr, "pakvane_e2e: pakvane.exe ended before its window appeared\n");
      result = 1;
      break;
    }
    if (const auto boxes = VisibleDialogs(info.dwProcessId); !boxes.empty()) {
      // A start-up message comes before the window; leave it on screen for the user.
      const auto box = ReadMessageBox(boxes.front());
      std::fprintf(stderr, "pakvane_e2e: message box %s: %s\n", Describe(box.caption).c_str(),
                   Describe(box.text).c_str());
      result = 3;
      break;
    }
    main = FindMainWindow(info.dwProcessId);
    if (main && IsWindowVisible(main)) {
      const ULONGLONG active_deadline = GetTickCount64() + 10000;
      while (GetForegroundWindow() != main && !Expired(active_deadline)) Sleep(50);
      if (GetForegroundWindow() != main)
        std::fprintf(stderr, "pakvane_e2e: the window is shown but not active\n");
      Sleep(1000);  // painting
      break;
    }
    if (Expired(deadline)) {
      std::fprintf(stderr, "pakvane_e2e: the main window did not appear\n");
      result = 1;
      break;
    }
    Sleep(50);
  }
  CloseHandle(info.hProcess);
  return result;
}

int Close() {
  const HWND main = FindMainWindow(0);
  if (!main) {
    std::fprintf(stderr, "pakvane_e2e: no Pakvane window\n");
    return 1;
  }
  const DWORD pid = ProcessOf(main);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  Post(main, WM_CLOSE);
  const ULONGLONG deadline = GetTickCount64() + 20000;
  int result = 1;
  for (;;) {
    const bool gone = process ? WaitForSingleObject(process, 50) != WAIT_TIMEOUT : !IsWindow(main);
    if (gone) {
      result = 0;
      break;
    }
    for (HWND box : VisibleDialogs(pid)) {
      const auto info = ReadMessageBox(box);
      if (info.HasButton(IDNO)) {
        PressBoxButton(box, IDNO);  // the save question: leave the files as they are
        Sleep(200);
      } else {
        std::fprintf(stderr, "pakvane_e2e: message box %s: %s\n", Describe(info.caption).c_str(),
                     Describe(info.text).c_str());
        if (process) CloseHandle(process);
        return 1;
      }
    }
    if (Expired(deadline)) {
      std::fprintf(stderr, "pakvane_e2e: Pakvane did not close\n");
      break;
    }
    if (!process) Sleep(50);
  }
  if (process) CloseHandle(process);
  return result;
}

int Main(int argc, char** argv) {
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
  if (args[0] == "--list") {
    for (const auto& entry : JourneyTable()) std::printf("%s\n", entry.first.c_str());
    return 0;
  }
  std::string exe, journey, work;
  for (size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--exe") exe = args[i + 1];
    else if (args[i] == "--journey") journey = args[i + 1];
    else if (args[i] == "--work") work = args[i + 1];
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

int main(int argc, char** argv) { return pakvane::e2e::Main(argc, argv); }
