// pakvane.exe: creates the main window and runs the message loop until it closes.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/window_bridge.h"

namespace {

// The arguments after the program name, as the ANSI bytes the user gave.
std::vector<std::string> CommandLineArguments()
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    return arguments;
}

int RunProgram(HINSTANCE instance, int showCommand)
{
    pakvane::TMainForm mainForm(instance, CommandLineArguments());
    mainForm.Create();
    mainForm.Show(showCommand);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Dialog navigation (Tab between controls, Enter and Space on buttons).
        if (mainForm.Handle() && IsDialogMessageW(mainForm.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    try {
        return RunProgram(instance, showCommand);
    } catch (...) {
        pakvane::ReportUnexpectedException("start-up");
        return 1;
    }
}
