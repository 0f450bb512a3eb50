// The main window's face and its window-level behaviour: captions and hints, the state of
// the commands at start, the minimum size and the splitter, the Tools menu, closing.

#include <cstdlib>

#include "app.h"
#include "app/control_ids.h"
#include "expected_strings.h"
#include "journey.h"

using namespace pakvane;
using namespace pakvane::e2e;

namespace {

constexpr int kSplitterMinimum = 50;

// A configuration file with two associations whose libraries do not exist: loading needs
// no plugin, and the memo shows "no comment" without asking anything.
const std::string kTwoPlugins =
    "[Configuration]\r\nShowHiddenSystem=1\r\n"
    "[PackerPlugins]\r\n"
    "zip=95,Z:\\nowhere\\zip.wcx\r\n"
    "rar=4,Z:\\nowhere\\unrar.wcx\r\n";

// Without arguments in a fresh prefix no configuration file can be found: the start-up
// error comes before the window is shown. Checks it and answers it.
App& StartWithoutConfiguration(Journey& j) {
  App& app = j.Launch();
  if (const auto box = app.WaitStartupMessage();
      j.Check(box.has_value(), "a not-found message before the main window is shown")) {
    j.CheckEqual(box->caption, S(18), "caption of the not-found message");
    j.CheckEqual(box->text, S(19), "text of the not-found message");
    j.CheckEqual(box->Buttons(), std::vector<int>{IDOK}, "buttons of the not-found message");
    const HWND hidden = FindMainWindow(app.Pid());
    j.Check(!hidden || !IsWindowVisible(hidden),
            "the main window is shown only after the start-up message");
    app.Answer(*box, IDOK);
  }
  app.WaitMainWindow();
  return app;
}

App& StartWithConfiguration(Journey& j, const std::string& bytes) {
  WriteFileBytes(j.At("wincmd.ini"), bytes);
  return j.Start({j.WinPath("wincmd.ini")});
}

int HeightOf(HWND window) { return ScreenRect(window).Height(); }

}  // namespace

PAKVANE_JOURNEY(main_window_face) {
  App& app = StartWithoutConfiguration(j);
  const HWND main = app.Main();
  j.CheckEqual(ClassName(main), std::wstring(kMainFormClass), "class of the main window");
  j.CheckEqual(WindowText(main), std::wstring(kMainCaptionW), "caption of the main window");
  j.CheckEqual(WindowText(app.Control(ids::kGroupBox1)), Padded(0), "caption of GroupBox1");
  j.CheckEqual(WindowText(app.Control(ids::kGroupBox2)), Padded(4), "caption of GroupBox2");

  struct Hint {
    int control;
    const char* name;
    int string;
  };
  const Hint hints[] = {
      {ids::kOpenIniButton, "OpenIniButton", 1}, {ids::kAddButton, "AddButton", 5},
      {ids::kPropButton, "PropButton", 6},       {ids::kDelButton, "DelButton", 7},
      {ids::kApplyButton, "ApplyButton", 8},     {ids::kCancelButton, "CancelButton", 9},
      {ids::kToolButton, "ToolButton", 24},
  };
  const auto shown = app.Hints();
  for (const auto& hint : hints) {
    const auto found = shown.find(hint.control);
    j.CheckEqual(found == shown.end() ? std::wstring(L"(no hint)") : found->second, S(hint.string),
                 std::string("hint of ") + hint.name);
  }

  struct Command {
    int control;
    const char* name;
    bool enabled;
  };
  // No configuration file: only what needs no list is available.
  const Command commands[] = {
      {ids::kOpenIniButton, "OpenIniButton", true}, {ids::kToolButton, "ToolButton", true},
      {ids::kCancelButton, "CancelButton", true},   {ids::kAddButton, "AddButton", false},
      {ids::kPropButton, "PropButton", false},      {ids::kDelButton, "DelButton", false},
      {ids::kApplyButton, "ApplyButton", false},
  };
  for (const auto& command : commands) {
    const HWND control = app.Control(command.control);
    j.Check(IsShown(control), std::string(command.name) + " is visible");
    j.CheckEqual(IsEnabled(control), command.enabled, std::string(command.name) + " enabled");
  }
  for (int id : {ids::kIniShow, ids::kWcxList, ids::kSplitter1, ids::kCommMemo})
    j.Check(IsShown(app.Control(id)), "control " + std::to_string(id) + " is visible");

  j.CheckEqual(WindowText(app.Control(ids::kIniShow)), std::wstring(), "IniShow");
  j.CheckEqual(ListRows(app.Control(ids::kWcxList)).size(), size_t{0}, "rows of WCXList");
  app.ExpectNoStray("after start-up");

  app.Close();
  app.ExpectExit(0);
}

PAKVANE_JOURNEY(min_size_and_splitter) {
  App& app = StartWithConfiguration(j, kTwoPlugins);
  const HWND main = app.Main();
  const HWND memo = app.Control(ids::kCommMemo);
  const HWND group = app.Control(ids::kGroupBox2);
  const HWND splitter = app.Control(ids::kSplitter1);
  const Rect created = ScreenRect(main);

  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  j.CheckEqual(created.Width(), MulDiv(446, dpi, 96), "width of the new window");
  j.CheckEqual(created.Height(), MulDiv(293, dpi, 96), "height of the new window");

  // The window never gets smaller than it was made.
  SetSize(main, 200, 100);
  app.Settle();
  j.CheckEqual(ScreenRect(main).Width(), created.Width(), "width after sizing to 200x100");
  j.CheckEqual(ScreenRect(main).Height(), created.Height(), "height after sizing to 200x100");
  app.ExpectNoStray("after sizing down");

  // The splitter keeps the memo above its minimum when dragged down, pixel by pixel up to
  // the limit and then in big leaps...
  const Rect bar = ClientRect(splitter);
  const POINT grip{bar.Width() / 2, bar.Height() / 2};
  PostDrag(splitter, grip, {grip.x, grip.y + 200}, 200);
  app.Settle(300);
  const int memo_near = HeightOf(memo);
  j.Check(memo_near > kSplitterMinimum && memo_near <= kSplitterMinimum + 2,
          "memo height after dragging the splitter down step by step: " +
              std::to_string(memo_near) + ", must stop just above " +
              std::to_string(kSplitterMinimum));
  PostDrag(splitter, grip, {grip.x, grip.y + 1000});
  app.Settle(300);
  const int memo_down = HeightOf(memo);
  j.Check(memo_down > kSplitterMinimum && IsShown(memo),
          "memo height after dragging the splitter far down: " + std::to_string(memo_down) +
              ", must stay above " + std::to_string(kSplitterMinimum));

  // ...and leaves the list its minimum when dragged up.
  PostDrag(splitter, grip, {grip.x, grip.y - 1000});
  app.Settle(300);
  const int memo_up = HeightOf(memo);
  const int group_height = HeightOf(group);
  j.Check(memo_up <= group_height - kSplitterMinimum - 3,
          "memo height after dragging the splitter far up: " + std::to_string(memo_up) +
              ", must be at most GroupBox2 height " + std::to_string(group_height) + " - 53");
  j.Check(memo_up > memo_down, "dragging the splitter up makes the memo taller (" +
                                   std::to_string(memo_down) + " -> " + std::to_string(memo_up) + ")");
  j.Note("memo heights: step by step " + std::to_string(memo_near) + ", far down " +
         std::to_string(memo_down) + ", far up " + std::to_string(memo_up) + " in GroupBox2 of " +
         std::to_string(group_height));
  app.ExpectNoStray("after dragging the splitter");

  // Growing the window leaves the memo as it is; the list takes the new room.
  SetSize(main, created.Width() + 200, created.Height() + 150);
  app.Settle();
  j.CheckEqual(ScreenRect(main).Height(), created.Height() + 150, "height after enlarging");
  j.CheckEqual(HeightOf(memo), memo_up, "memo height after enlarging the window");
  j.CheckEqual(HeightOf(group), group_height + 150, "GroupBox2 height after enlarging");

  // A tall memo in a window shrunk back to its minimum gives way to the list.
  PostDrag(splitter, grip, {grip.x, grip.y - 1000});
  app.Settle(300);
  SetSize(main, created.Width(), created.Height());
  app.Settle();
  const int memo_shrunk = HeightOf(memo);
  const int group_shrunk = HeightOf(group);
  j.Check(memo_shrunk <= group_shrunk - kSplitterMinimum - 1 && memo_shrunk > kSplitterMinimum,
          "memo height after shrinking the window: " + std::to_string(memo_shrunk) +
              ", must be within 51.." + std::to_string(group_shrunk - kSplitterMinimum - 1));
  app.ExpectNoStray("after resizing");

  app.Close();
  app.ExpectExit(0);
}

PAKVANE_JOURNEY(tools_menu_under_button) {
  App& app = StartWithConfiguration(j, kTwoPlugins);
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
  for (int i = 0; i < 50 && !app.PopupMenus().empty(); ++i) Sleep(20);
  if (!app.PopupMenus().empty()) Post(app.Main(), WM_CANCELMODE);
  for (int i = 0; i < 50 && !app.PopupMenus().empty(); ++i) Sleep(20);
  j.Check(app.PopupMenus().empty(), "the Tools menu closes on Escape");
  app.ExpectNoStray("after dismissing the Tools menu");

  app.Close();
  app.ExpectExit(0);
}

PAKVANE_JOURNEY(close_without_changes) {
  // The close box without a configuration file.
  {
    App& app = StartWithoutConfiguration(j);
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
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)),
            std::string("nothing to save before closing with ") + way.name);
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
