// The main window seen from outside: the Tools menu opened by its button, and closing
// without changes. Captions, hints, enabling, layout, the minimum size and the splitter are
// proved in-process (tests/win32), where the window is at hand.

#include <cstdlib>

#include "app.h"
#include "app/control_ids.h"
#include "journey.h"

using namespace pakvane;
using namespace pakvane::e2e;

namespace {

// A configuration file with two associations whose libraries do not exist: loading needs
// no plugin, and the memo shows "no comment" without asking anything.
const std::string kTwoPlugins =
    "[Configuration]\r\nShowHiddenSystem=1\r\n"
    "[PackerPlugins]\r\n"
    "zip=95,Z:\\nowhere\\zip.wcx\r\n"
    "rar=4,Z:\\nowhere\\unrar.wcx\r\n";

}  // namespace

// The menu runs its own modal loop: from outside it is a real window to find and measure.
PAKVANE_JOURNEY(tools_menu_under_button)
{
    WriteFileBytes(j.At("wincmd.ini"), kTwoPlugins);
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const HWND button = app.Control(ids::kToolButton);
    const Rect face = ScreenRect(button);
    Click(button);
    const HWND menu = app.WaitPopupMenu();
    j.Require(menu != nullptr, "no popup menu appeared after clicking ToolButton");
    const Rect placed = ScreenRect(menu);
    j.Check(std::abs(placed.left - face.left) <= 2 && std::abs(placed.top - face.bottom) <= 2,
            "the Tools menu " + Describe(placed) + " must open at ToolButton's bottom-left corner (" +
                std::to_string(face.left) + "," + std::to_string(face.bottom) + ")");

    PostKey(menu, VK_ESCAPE);
    const auto closed = [&] { return app.PopupMenus().empty(); };
    // Escape reaches the menu's loop as a posted key; should Wine drop it, cancelling the mode
    // closes the menu the other way a user can.
    if (!WaitUntil(closed, Deadline(kBoxTimeoutMs / 10))) Post(app.Main(), WM_CANCELMODE);
    j.Await(closed, kBoxTimeoutMs, "the Tools menu has closed after Escape");
    app.ExpectNoStray("after dismissing the Tools menu");

    app.Close();
    app.ExpectExit(0);
}

PAKVANE_JOURNEY(close_without_changes)
{
    // The close box without a configuration file (the start-up message itself is checked by
    // startup_arguments).
    {
        App& app = j.Launch();
        if (const auto box = app.WaitStartupMessage(); j.Check(box.has_value(), "a not-found message at start-up"))
            app.Answer(*box, IDOK);
        app.WaitMainWindow();
        app.Close();
        app.ExpectExit(0);
    }
    WriteFileBytes(j.At("wincmd.ini"), kTwoPlugins);
    // The close box through the system menu, and the Cancel button, with a loaded file.
    struct Way {
        const char* name;
        void (*close)(App&);
    };
    const Way ways[] = {
        {"SC_CLOSE", [](App& app) { Post(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"CancelButton", [](App& app) { Click(app.Control(ids::kCancelButton)); }},
    };
    for (const auto& way : ways) {
        App& app = j.Start({j.WinPath("wincmd.ini")});
        j.CheckEqual(ListRows(app.Control(ids::kWcxList)).size(), size_t{2},
                     std::string("rows loaded before closing with ") + way.name);
        way.close(app);
        app.ExpectExit(0);
    }
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), std::optional<std::string>(kTwoPlugins),
                 "configuration file after closing without changes");
    // Closing writes the settings, among them the file that was open.
    const auto settings = ReadFileBytes(j.At("pakvane.ini"));
    j.Check(settings && settings->find("IniFile=" + Utf8(j.WinPath("wincmd.ini"))) != std::string::npos,
            "the settings file names the configuration file after closing: " + Describe(settings));
}
