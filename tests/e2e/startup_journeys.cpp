// Starting up: the configuration file and commander folder from the arguments, the
// settings or nowhere, and the window placement saved at the last close.

#include <string>
#include <vector>

#include "app.h"
#include "app/control_ids.h"
#include "config_samples.h"
#include "expected_strings.h"
#include "journey.h"

using namespace pakvane;
using namespace pakvane::e2e;

namespace {

using Bytes = std::optional<std::string>;


bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

}  // namespace

PAKVANE_JOURNEY(startup_arguments) {
  const std::string chosen = Ansi(j.WinPath("tc\\wincmd.ini"));
  WriteFileBytes(j.At("tc\\wincmd.ini"), kTwoRows);
  WriteFileBytes(j.At("remembered.ini"), "[PackerPlugins]\r\nlha=1,c:\\wcx\\lha.wcx\r\n");
  const std::vector<std::wstring> two_rows{L"arj=7,c:\\wcx\\arj.wcx", L"zip=511,c:\\wcx\\zip.wcx"};

  // Whatever the settings and the environment say, the arguments win.
  {
    WriteFileBytes(j.At("pakvane.ini"), "[Setup]\r\nComPath=c:\\elsewhere\\\r\nIniFile=" +
                                            Ansi(j.WinPath("remembered.ini")) + "\r\n");
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
      j.CheckEqual(box->caption, S(18), "caption of the missing-file message");
      j.CheckEqual(box->text, CannotOpen(missing), "text of the missing-file message");
      j.CheckEqual(box->Buttons(), std::vector<int>{IDOK}, "buttons of the missing-file message");
      app.Answer(*box, IDOK);
    }
    app.WaitMainWindow();
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)), std::vector<std::wstring>{}, "rows after a missing argument");
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
      j.CheckEqual(box->caption, S(18), "caption of the not-found message");
      j.CheckEqual(box->text, S(19), "text of the not-found message");
      j.CheckEqual(box->Buttons(), std::vector<int>{IDOK}, "buttons of the not-found message");
      app.Answer(*box, IDOK);
    }
    app.WaitMainWindow();  // a second message would fail here
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)), std::vector<std::wstring>{}, "rows when nothing was found");
    j.Check(!IsEnabled(app.Control(ids::kAddButton)), "AddButton is disabled when nothing was found");
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
    j.CheckEqual(WindowText(app.Control(ids::kIniShow)), j.WinPath("tc\\wincmd.ini"), "IniShow of the remembered file");
    app.Close();
    app.ExpectExit(0);
    const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
    j.CheckEqual(IniValue(settings, "Setup", "ComPath"), std::optional<std::string>("c:\\tc\\"),
                 "Setup/ComPath after a remembered folder without a backslash");
    j.CheckEqual(IniValue(settings, "Setup", "IniFile"), std::optional<std::string>(chosen),
                 "Setup/IniFile after loading the remembered file");
  }
}

PAKVANE_JOURNEY(settings_restore) {
  // Sorted by plugin the rows run rar, zip, arj; by extension arj, rar, zip.
  WriteFileBytes(j.At("wincmd.ini"),
                 "[PackerPlugins]\r\nzip=1,c:\\b.wcx\r\narj=1,c:\\c.wcx\r\nrar=1,c:\\a.wcx\r\n");
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int min_width = MulDiv(446, dpi, 96);
  const int memo_floor = MulDiv(50, dpi, 96) + 1;

  {
    WriteFileBytes(j.At("pakvane.ini"),
                   "[Main]\r\nLeft=50\r\nTop=60\r\nWidth=100\r\nHeight=500\r\nSplitt=10\r\n[Tools]\r\nSort=0\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const Rect placed = ScreenRect(app.Main());
    j.CheckEqual(placed.left, 50, "left after the first activation");
    j.CheckEqual(placed.top, 60, "top after the first activation");
    j.CheckEqual(placed.Width(), min_width, "width after the first activation (the minimum)");
    j.CheckEqual(placed.Height(), 500, "height after the first activation");
    j.CheckEqual(ScreenRect(app.Control(ids::kCommMemo)).Height(), memo_floor, "memo height after Splitt=10");
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
        {"Main", "Left", "50"},
        {"Main", "Top", "60"},
        {"Main", "Width", std::to_string(min_width)},
        {"Main", "Height", "500"},
        {"Main", "Splitt", std::to_string(memo_floor)},
        {"Tools", "Sort", "0"},
        {"Setup", "IniFile", Ansi(j.WinPath("wincmd.ini"))},
    };
    for (const auto& value : written)
      j.CheckEqual(IniValue(settings, value.section, value.key), std::optional<std::string>(value.expected),
                   std::string(value.section) + "/" + value.key + " written at close");
  }

  // A window saved where no screen is any more comes back onto the screen, whole.
  {
    WriteFileBytes(j.At("pakvane.ini"), "[Main]\r\nLeft=5000\r\nTop=5000\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const Rect placed = ScreenRect(app.Main());
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    j.Check(placed.left >= left && placed.top >= top && placed.right <= right && placed.bottom <= bottom,
            "a window saved at 5000,5000 is shown " + Describe(placed) + ", wholly within the screen (" +
                std::to_string(left) + "," + std::to_string(top) + ")-(" + std::to_string(right) + "," +
                std::to_string(bottom) + ")");
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)),
                 std::vector<std::wstring>{L"arj=1,c:\\c.wcx", L"rar=1,c:\\a.wcx", L"zip=1,c:\\b.wcx"},
                 "rows sorted by extension (no saved sort order)");
    app.Close();
    app.ExpectExit(0);
  }
}
