// pakvane.exe: creates the main window and runs the message loop until it closes.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/ui/ui_text.h"
#include "app/ui/window_bridge.h"

namespace {

// The arguments after the program name, as the ANSI bytes the user gave.
std::vector<std::string> CommandLineArguments()
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    return arguments;
}

// No interface string covers a program that cannot start, so it is said in both languages.
void ReportStartFailure(const std::string& reason)
{
    std::wstring text =
        L"\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0430 \u043D\u0435 \u043C\u043E\u0436\u0435\u0442 "
        L"\u0437\u0430\u043F\u0443\u0441\u0442\u0438\u0442\u044C\u0441\u044F.\nPakvane could not start.";
    if (!reason.empty()) text += L"\n\n" + pakvane::WidenAnsi(reason);
    pakvane::ShowMessageBox(nullptr, text, L"Pakvane", MB_ICONERROR);
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
        ReportStartFailure(pakvane::DescribeException(std::current_exception()));
        return 1;
    }
}
