// The shared window pieces on their own: creation that fails as a whole, the modal dialog
// base hosted by the dialog manager, and bringing a saved position back onto a monitor.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <optional>
#include <string>

#include "app/ui/modal_dialog.h"
#include "app/ui/placement.h"
#include "app/ui/window_bridge.h"

namespace pakvane {
namespace {

class FailingWindow final : public WindowBridge {
public:
    void Create()
    {
        WNDCLASSEXW windowClass{};
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"PakvaneFailingWindow";
        RegisterBridgedClass(windowClass);
        CreateBridgedWindow(0, L"PakvaneFailingWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr));
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE) throw std::runtime_error("no room for the list");
        return DefaultProc(message, wParam, lParam);
    }
};

TEST(WindowBridgeTest, AnExceptionWhileCreatingFailsTheCreationWithThatException)
{
    FailingWindow window;
    try {
        window.Create();
        FAIL() << "the creation should have failed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "no room for the list");
    }
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(FindWindowW(L"PakvaneFailingWindow", nullptr), nullptr) << "no half-made window is left";
}

// A small dialog: an edit, an owner-drawn button drawn by its own object, OK and Cancel.
constexpr int kNameEdit = 901;
constexpr int kSwatch = 902;
constexpr int kOkButton = 903;

constexpr ControlRow kTestControls[] = {
    {kNameEdit,
     L"EDIT",
     kChildStyle | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE,
     {8, 8, 120, 21},
     kAnchorTopLeft},
    {kSwatch, L"BUTTON", kChildStyle | WS_TABSTOP | BS_OWNERDRAW, 0, {8, 36, 40, 23}, kAnchorTopLeft},
    {kOkButton,
     L"BUTTON",
     kChildStyle | WS_TABSTOP | BS_DEFPUSHBUTTON,
     0,
     {60, 36, 60, 23},
     kAnchorTopLeft,
     CaptionKind::Fixed,
     Str::IniGroup,
     L"OK"},
    {IDCANCEL,
     L"BUTTON",
     kChildStyle | WS_TABSTOP,
     0,
     {124, 36, 60, 23},
     kAnchorTopLeft,
     CaptionKind::Fixed,
     Str::IniGroup,
     L"Cancel"},
};

class Swatch final : public ReflectedControl {
public:
    int draws = 0;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override
    {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
        ++draws;
        return true;
    }
};

// What the dialog does once it is up: the test's keystrokes, posted so that the dialog
// manager's own loop handles them.
enum class Script { TypeAndEnter, Escape, TabTwiceThenSpace, FailAtStart };

class TestDialog final : public ModalDialog {
public:
    explicit TestDialog(Script script) : ModalDialog(L"PakvaneTestDialog", SIZE{192, 67}), script_(script) {}

    std::optional<std::wstring> Show(HWND owner)
    {
        if (RunModal(owner, GetModuleHandleW(nullptr), L"Test") != IDOK) return std::nullopt;
        return name_;
    }
    Swatch swatch;
    int focusAfterTabs = 0;  // the id of the control two Tabs after the edit

private:
    bool OnStart() override
    {
        if (script_ == Script::FailAtStart) throw std::runtime_error("cannot start");
        CreateTable(kTestControls);
        Reflect(kSwatch, swatch);
        ApplyControlCaptions(Handle(), kTestControls, strings_, nullptr);
        SendMessageW(Handle(), DM_SETDEFID, kOkButton, 0);
        CenterOverOwner();
        HWND edit = Control(kNameEdit);
        switch (script_) {
        case Script::TypeAndEnter:
            PostMessageW(Handle(), WM_APP + 1, 0, 0);
            for (const wchar_t c : std::wstring(L"zip")) PostMessageW(edit, WM_CHAR, c, 0);
            PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
            break;
        case Script::Escape:
            PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case Script::TabTwiceThenSpace:
            PostMessageW(Handle(), WM_APP, 0, 0);
            break;
        case Script::FailAtStart:
            break;
        }
        return true;
    }

    bool OnCommand(int id, int) override
    {
        if (id != kOkButton) return false;
        wchar_t text[64] = {};
        GetWindowTextW(Control(kNameEdit), text, 64);
        name_ = text;
        End(IDOK);
        return true;
    }

    bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR&) override
    {
        if (message == WM_APP + 1) {
            UpdateWindow(Handle());  // paints now, before the keys that end the dialog
            return true;
        }
        if (message != WM_APP) return false;
        // Tab moves through the table's controls in order, from the edit to the swatch to
        // OK; Space then presses OK.
        const HWND first = GetNextDlgTabItem(Handle(), Control(kNameEdit), FALSE);
        const HWND second = GetNextDlgTabItem(Handle(), first, FALSE);
        focusAfterTabs = GetDlgCtrlID(second);
        SetFocus(second);
        PostMessageW(second, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageW(second, WM_KEYUP, VK_SPACE, 0);
        return true;
    }

    Script script_;
    std::wstring name_;
    InterfaceStrings strings_;
};

TEST(ModalDialogTest, KeysAreTheDialogManagersAndTheResultIsAPlainValue)
{
    TestDialog typed(Script::TypeAndEnter);
    EXPECT_EQ(typed.Show(nullptr), std::optional<std::wstring>(L"zip")) << "Enter presses the default button";
    EXPECT_GT(typed.swatch.draws, 0) << "the owner-drawn button was drawn by its own object";

    TestDialog escaped(Script::Escape);
    EXPECT_EQ(escaped.Show(nullptr), std::nullopt) << "Esc cancels";

    TestDialog tabbed(Script::TabTwiceThenSpace);
    EXPECT_EQ(tabbed.Show(nullptr), std::optional<std::wstring>(L""));
    EXPECT_EQ(tabbed.focusAfterTabs, kOkButton) << "Tab follows the table's order";
    EXPECT_EQ(FindWindowW(L"PakvaneTestDialog", nullptr), nullptr) << "the dialog is gone after it ended";
}

TEST(ModalDialogTest, AFailureWhileStartingEndsTheDialogAndComesBackOut)
{
    TestDialog failing(Script::FailAtStart);
    EXPECT_THROW(failing.Show(nullptr), std::runtime_error);
    EXPECT_EQ(FindWindowW(L"PakvaneTestDialog", nullptr), nullptr);
}

struct PlacementCase {
    const char* name;
    RECT wanted;
    RECT expected;
};

TEST(PlacementTest, AWindowOffEveryMonitorMovesIntoTheNearestWorkArea)
{
    // Two monitors side by side; the right one has a taskbar at its bottom.
    const MonitorArea monitors[] = {
        {{0, 0, 1024, 768}, {0, 0, 1024, 768}},
        {{1024, 0, 2048, 768}, {1024, 0, 2048, 728}},
    };
    const PlacementCase cases[] = {
        {"wholly on a monitor", {100, 100, 500, 400}, {100, 100, 500, 400}},
        {"partly visible stays", {-300, -20, 100, 280}, {-300, -20, 100, 280}},
        {"left of everything", {-900, 100, -500, 400}, {0, 100, 400, 400}},
        {"below the right monitor", {1500, 900, 1900, 1200}, {1500, 428, 1900, 728}},
        {"far right", {3000, 10, 3400, 310}, {1648, 10, 2048, 310}},
        {"larger than the work area keeps its size from the top-left", {-2000, -2000, -900, -1000}, {0, 0, 1100, 1000}},
    };
    for (const PlacementCase& c : cases) {
        const RECT placed = KeepOnMonitor(c.wanted, monitors);
        EXPECT_EQ(placed.left, c.expected.left) << c.name;
        EXPECT_EQ(placed.top, c.expected.top) << c.name;
        EXPECT_EQ(placed.right, c.expected.right) << c.name;
        EXPECT_EQ(placed.bottom, c.expected.bottom) << c.name;
    }
    EXPECT_EQ(KeepOnMonitor(RECT{5, 5, 10, 10}, {}).left, 5) << "no monitors known: left alone";
}

}  // namespace
}  // namespace pakvane
