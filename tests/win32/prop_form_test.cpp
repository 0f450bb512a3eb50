// The properties dialog driven in the test process: a second thread finds the dialog,
// reads and works its controls as a user would, and the result comes back as plain values.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include <memory>
#include <vector>

#include "app/control_ids.h"
#include "app/prop_form.h"
#include "app/main_form.h"
#include "app/ui/control_table.h"
#include "app/ui/ui_text.h"

namespace pakvane {
namespace {

// Waits for the dialog of the given class owned by this process, up to a deadline.
HWND WaitForDialog(const wchar_t* className)
{
    const DWORD deadline = GetTickCount() + 10000;
    while (GetTickCount() < deadline) {
        HWND dialog = FindWindowW(className, nullptr);
        if (dialog && IsWindowVisible(dialog)) return dialog;
        Sleep(10);
    }
    return nullptr;
}

std::wstring TextOf(HWND control)
{
    wchar_t text[512] = {};
    SendMessageW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// Runs the dialog on this thread while `user` works it from another.
std::optional<PluginProperties> RunWithUser(const PluginProperties& input, const PropertiesContext& context,
                                            const std::function<void(HWND dialog)>& user)
{
    std::thread driver([&] {
        HWND dialog = WaitForDialog(kPropFormClass);
        if (!dialog) return;
        user(dialog);
    });
    auto result = EditPluginProperties(nullptr, input, context);
    driver.join();
    return result;
}

class PropFormTest : public ::testing::Test {
protected:
    void SetUp() override { strings_.FillBuiltIn(); }
    PropertiesContext Context()
    {
        PropertiesContext context{strings_};
        context.knownPaths = {"c:\\wcx\\zip.wcx", "C:\\WCX\\ZIP.WCX", " %commander_path%\\plugins\\7z.wcx",
                              "c:\\a.wcx"};
        context.expandPath = [](HWND, const std::string& path) -> std::optional<std::string> { return path; };
        context.checkPlugin = [this](HWND, const std::string& path) -> std::optional<std::int32_t> {
            probed_ += path + ";";
            return reported_;
        };
        return context;
    }
    InterfaceStrings strings_;
    std::string probed_;
    std::optional<std::int32_t> reported_ = 516;
};

TEST_F(PropFormTest, ShowsTheEntryAndCancelLeavesItUnchanged)
{
    std::wstring kod, ext, path, title;
    int ticked = 0;
    const auto result = RunWithUser({"ZIP", 735, "c:\\wcx\\zip.wcx"}, Context(), [&](HWND dialog) {
        kod = TextOf(GetDlgItem(dialog, ids::kKodShow));
        ext = TextOf(GetDlgItem(dialog, ids::kExtEdit));
        path = TextOf(GetDlgItem(dialog, ids::kFilePath));
        title = TextOf(dialog);
        for (int box = 0; box < 9; ++box) ticked |= (IsDlgButtonChecked(dialog, ids::kProp1 + box) ? 1 : 0) << box;
        PostMessageW(GetDlgItem(dialog, ids::kPropCancelButton), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, std::nullopt);
    EXPECT_EQ(kod, L"735") << "the whole value, the bit without a box included";
    EXPECT_EQ(ticked, 735 & 511);
    EXPECT_EQ(ext, L"ZIP");
    EXPECT_EQ(path, L"c:\\wcx\\zip.wcx");
    EXPECT_EQ(title, Widen(strings_[Str::PropertiesCaption]));
}

// Every bit without a check box passes through: an unchanged OK gives back 735, detection
// of a plugin reporting 516 keeps its 512, and a box switched by the user changes only its bit.
TEST_F(PropFormTest, BitsWithoutACheckBoxPassThrough)
{
    auto confirm = [](HWND dialog) { PostMessageW(GetDlgItem(dialog, ids::kPropOkButton), BM_CLICK, 0, 0); };
    EXPECT_EQ(RunWithUser({"7z", 735, "c:\\wcx\\7z.wcx"}, Context(), confirm),
              (PluginProperties{"7z", 735, "c:\\wcx\\7z.wcx"}));
    EXPECT_EQ(RunWithUser({"x", 1023, "c:\\x.wcx"}, Context(), confirm), (PluginProperties{"x", 1023, "c:\\x.wcx"}));

    std::wstring kod;
    const auto detected = RunWithUser({"zip", 1, "c:\\wcx\\zip.wcx"}, Context(), [&](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, ids::kAutoButton), BM_CLICK, 0, 0);
        kod = TextOf(GetDlgItem(dialog, ids::kKodShow));
        SendMessageW(GetDlgItem(dialog, ids::kProp1), BM_CLICK, 0, 0);  // the user ticks "can create"
        PostMessageW(GetDlgItem(dialog, ids::kPropOkButton), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(kod, L"516");
    ASSERT_TRUE(detected);
    EXPECT_EQ(detected->flags, 517);
}

// OK checks the extension, then the path, then the library, and puts the focus on the
// field at fault; the dialog stays open until all pass.
TEST_F(PropFormTest, OkRefusesInOrderWithTheFocusOnTheFieldAtFault)
{
    std::vector<std::wstring> boxes;
    auto previous = SetMessageBoxHook([&](HWND, std::wstring_view text, std::wstring_view, UINT) {
        boxes.emplace_back(text);
        return IDOK;
    });
    std::vector<int> focused;
    reported_ = std::nullopt;  // the library is no plugin
    const auto result = RunWithUser({"", 0, ""}, Context(), [&](HWND dialog) {
        auto pressOk = [&] {
            SendMessageW(GetDlgItem(dialog, ids::kPropOkButton), BM_CLICK, 0, 0);
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
            // The path field's focus is in the combo box's own edit.
            const HWND parent = GetParent(gui.hwndFocus);
            focused.push_back(GetDlgCtrlID(parent == dialog ? gui.hwndFocus : parent));
        };
        pressOk();
        SendMessageW(GetDlgItem(dialog, ids::kExtEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ZIP"));
        pressOk();
        SendMessageW(GetDlgItem(dialog, ids::kFilePath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"c:\\no.wcx"));
        pressOk();
        PostMessageW(GetDlgItem(dialog, ids::kPropCancelButton), BM_CLICK, 0, 0);
    });
    SetMessageBoxHook(std::move(previous));
    EXPECT_EQ(result, std::nullopt);
    ASSERT_EQ(boxes.size(), 2u) << "the third refusal's message is the probe's own";
    EXPECT_EQ(boxes[0], Widen(strings_[Str::NoExtension]));
    EXPECT_EQ(boxes[1], Widen(strings_[Str::NoPlugin]));
    EXPECT_EQ(focused, (std::vector<int>{ids::kExtEdit, ids::kFilePath, ids::kFilePath}));
    EXPECT_EQ(probed_, "c:\\no.wcx;");
}

// The path list holds every distinct path of the association list once (case aside),
// sorted; opening it widens it to the longest path and never narrows it.
TEST_F(PropFormTest, ThePathListHoldsEachPathOnceAndWidensToTheLongest)
{
    std::vector<std::wstring> items;
    LRESULT before = 0, after = 0, again = 0;
    RunWithUser({"zip", 1, "c:\\wcx\\zip.wcx"}, Context(), [&](HWND dialog) {
        const HWND combo = GetDlgItem(dialog, ids::kFilePath);
        const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        before = SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        after = SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0);
        SendMessageW(combo, CB_SETDROPPEDWIDTH, 10, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        again = SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0);
        PostMessageW(GetDlgItem(dialog, ids::kPropCancelButton), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(items.size(), 3u) << "zip.wcx once whatever its case";
    EXPECT_EQ(items[0], L"%commander_path%\\plugins\\7z.wcx");
    EXPECT_EQ(items[1], L"c:\\a.wcx");
    EXPECT_EQ(_wcsicmp(items[2].c_str(), L"c:\\wcx\\zip.wcx"), 0);
    EXPECT_GE(after, before);
    EXPECT_EQ(again, after) << "the widest entry sets the width again";
}

// With no saved position the dialog opens centred on the screen; a saved position off
// every monitor is brought back onto one; where it closed is handed back.
TEST_F(PropFormTest, OpensCentredOrWhereItWasKeptOnAMonitor)
{
    for (const bool saved : {false, true}) {
        PropertiesContext context = Context();
        POINT remembered{-1, -1};
        if (saved) context.savedPosition = [](POINT) { return POINT{6000, -4000}; };
        context.rememberPosition = [&](POINT at) { remembered = at; };
        RECT placed{};
        RunWithUser({"zip", 1, "x"}, context, [&](HWND dialog) {
            GetWindowRect(dialog, &placed);
            PostMessageW(GetDlgItem(dialog, ids::kPropCancelButton), BM_CLICK, 0, 0);
        });
        if (!saved) {
            EXPECT_EQ(placed.left, (GetSystemMetrics(SM_CXSCREEN) - (placed.right - placed.left)) / 2);
            EXPECT_EQ(placed.top, (GetSystemMetrics(SM_CYSCREEN) - (placed.bottom - placed.top)) / 2);
        } else {
            EXPECT_NE(MonitorFromRect(&placed, MONITOR_DEFAULTTONULL), nullptr) << "brought back on screen";
        }
        EXPECT_EQ(remembered.x, placed.left);
        EXPECT_EQ(remembered.y, placed.top);
    }
}

}  // namespace
}  // namespace pakvane
