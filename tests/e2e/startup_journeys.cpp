// Starting up: the configuration file and commander folder from the arguments, the
// settings or nowhere, and the settings the window writes back at its close.

#include <string>
#include <vector>

#include "app.h"
#include "app/control_ids.h"
#include "config_samples.h"
#include "journey.h"

using namespace pakvane;
using namespace pakvane::e2e;

namespace {

using Bytes = std::optional<std::string>;

bool Exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

}  // namespace

PAKVANE_JOURNEY(startup_arguments)
{
    const std::string chosen = Ansi(j.WinPath("tc\\wincmd.ini"));
    WriteFileBytes(j.At("tc\\wincmd.ini"), kTwoRows);
    WriteFileBytes(j.At("remembered.ini"), "[PackerPlugins]\r\nlha=1,c:\\wcx\\lha.wcx\r\n");
    const std::vector<std::wstring> two_rows{L"arj=7,c:\\wcx\\arj.wcx", L"zip=511,c:\\wcx\\zip.wcx"};

    // Whatever the settings and the environment say, the arguments win.
    {
        WriteFileBytes(j.At("pakvane.ini"),
                       "[Setup]\r\nComPath=c:\\elsewhere\\\r\nIniFile=" + Ansi(j.WinPath("remembered.ini")) + "\r\n");
        ScopedVariable variable(L"COMMANDER_PATH", L"c:\\from_environment");
        App& app = j.Start({j.WinPath("tc\\wincmd.ini"), j.WinPath("tc")});
        j.CheckEqual(ListRows(app.Control(ids::kWcxList)), two_rows, "rows with two arguments");
        j.CheckEqual(WindowText(app.Control(ids::kIniShow)), j.WinPath("tc\\wincmd.ini"), "IniShow with two arguments");
        app.Close();
        app.ExpectExit(0);
        const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
        j.CheckEqual(IniValue(settings, "Setup", "ComPath"), std::optional<std::string>(Ansi(j.WinPath("tc")) + "\\"),
                     "Setup/ComPath after two arguments (the folder with a backslash)");
        j.CheckEqual(IniValue(settings, "Setup", "IniFile"), std::optional<std::string>(chosen),
                     "Setup/IniFile after two arguments");
    }

    // One argument naming a missing file: its message, and no other source is tried (the
    // settings name a real file by now).
    {
        const std::wstring missing = j.WinPath("missing.ini");
        App& app = j.Launch({missing});
        if (const auto box = app.WaitStartupMessage(); j.Check(box.has_value(), "a message for the missing file")) {
            j.CheckEqual(box->caption, S(Str::Error), "caption of the missing-file message");
            j.CheckEqual(box->text, Formatted(Str::CannotOpenFile, missing), "text of the missing-file message");
            j.CheckEqual(box->Buttons(), std::vector<int>{IDOK}, "buttons of the missing-file message");
            app.Answer(*box, IDOK);
        }
        app.WaitMainWindow();
        j.CheckEqual(ListRows(app.Control(ids::kWcxList)), std::vector<std::wstring>{},
                     "rows after a missing argument");
        j.CheckEqual(WindowText(app.Control(ids::kIniShow)), std::wstring(), "IniShow after a missing argument");
        j.Check(!IsEnabled(app.Control(ids::kAddButton)), "AddButton is disabled after a missing argument");
        app.ExpectNoStray("after the missing-file message");
        app.Close();
        app.ExpectExit(0);
    }

    // Nothing anywhere: one not-found message, then an empty window.
    {
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        const fs::path wincmd = fs::path(windows) / L"WinCmd.ini";
        j.Require(!Exists(wincmd), "the prefix is not clean: " + Utf8(wincmd.wstring()) + " exists");
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            HKEY key = nullptr;
            const bool present =
                RegOpenKeyExW(root, L"Software\\Ghisler\\Total Commander", 0, KEY_READ, &key) == ERROR_SUCCESS;
            if (present) RegCloseKey(key);
            j.Require(!present, "the prefix is not clean: it has a Total Commander registry key");
        }
        fs::remove(j.At("pakvane.ini"));
        App& app = j.Launch();
        if (const auto box = app.WaitStartupMessage(); j.Check(box.has_value(), "a not-found message")) {
            j.CheckEqual(box->caption, S(Str::Error), "caption of the not-found message");
            j.CheckEqual(box->text, S(Str::IniNotFound), "text of the not-found message");
            j.CheckEqual(box->Buttons(), std::vector<int>{IDOK}, "buttons of the not-found message");
            const HWND hidden = FindMainWindow(app.Pid());
            j.Check(!hidden || !IsWindowVisible(hidden), "the main window is shown only after the start-up message");
            app.Answer(*box, IDOK);
        }
        app.WaitMainWindow();  // a second message would fail here
        j.CheckEqual(ListRows(app.Control(ids::kWcxList)), std::vector<std::wstring>{}, "rows when nothing was found");
        // Not yet proved in-process: every control is shown once the window is.
        for (int id : {ids::kGroupBox1, ids::kIniShow, ids::kOpenIniButton, ids::kGroupBox2, ids::kWcxList,
                       ids::kSplitter1, ids::kCommMemo, ids::kToolButton, ids::kAddButton, ids::kPropButton,
                       ids::kDelButton, ids::kApplyButton, ids::kCancelButton})
            j.Check(IsShown(app.Control(id)), "control " + std::to_string(id) + " is visible");
        app.ExpectNoStray("after the not-found message");
        app.Close();
        app.ExpectExit(0);
    }

    // No arguments: the remembered file loads; a remembered folder gets its backslash.
    {
        WriteFileBytes(j.At("pakvane.ini"), "[Setup]\r\nComPath=c:\\tc\r\nIniFile=" + chosen + "\r\n");
        ScopedVariable variable(L"COMMANDER_PATH", L"c:\\from_environment");
        App& app = j.Start();
        j.CheckEqual(ListRows(app.Control(ids::kWcxList)), two_rows, "rows of the remembered file");
        j.CheckEqual(WindowText(app.Control(ids::kIniShow)), j.WinPath("tc\\wincmd.ini"),
                     "IniShow of the remembered file");
        app.Close();
        app.ExpectExit(0);
        const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
        j.CheckEqual(IniValue(settings, "Setup", "ComPath"), std::optional<std::string>("c:\\tc\\"),
                     "Setup/ComPath after a remembered folder without a backslash");
        j.CheckEqual(IniValue(settings, "Setup", "IniFile"), std::optional<std::string>(chosen),
                     "Setup/IniFile after loading the remembered file");
    }
}

// The placement itself is proved in-process; what is left for a whole run is the sort order
// from the settings applied to the list loaded at start-up, and that the close writes the
// values the window really had after correcting the saved ones.
PAKVANE_JOURNEY(settings_restore)
{
    // Sorted by plugin the rows run rar, zip, arj; by extension arj, rar, zip.
    WriteFileBytes(j.At("wincmd.ini"), "[PackerPlugins]\r\nzip=1,c:\\b.wcx\r\narj=1,c:\\c.wcx\r\nrar=1,c:\\a.wcx\r\n");
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The window as created is its own minimum.
    const int min_width = MulDiv(446, dpi, 96);
    const int min_height = MulDiv(293, dpi, 96);
    const int memo_floor = MulDiv(50, dpi, 96) + 1;

    WriteFileBytes(j.At("pakvane.ini"), "[Main]\r\nWidth=100\r\nSplitt=10\r\n[Tools]\r\nSort=0\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)),
                 std::vector<std::wstring>{L"rar=1,c:\\a.wcx", L"zip=1,c:\\b.wcx", L"arj=1,c:\\c.wcx"},
                 "rows sorted by plugin");
    app.Close();
    app.ExpectExit(0);
    const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
    struct Value {
        const char* section;
        const char* key;
        std::string expected;
    };
    const Value written[] = {
        {"Main", "Maximized", "0"},
        {"Main", "Width", std::to_string(min_width)},  // 100 was below the minimum
        {"Main", "Height", std::to_string(min_height)},
        {"Main", "Splitt", std::to_string(memo_floor)},  // 10 was below the memo's floor
    };
    for (const auto& value : written)
        j.CheckEqual(IniValue(settings, value.section, value.key), std::optional<std::string>(value.expected),
                     std::string(value.section) + "/" + value.key + " written at close");
}
