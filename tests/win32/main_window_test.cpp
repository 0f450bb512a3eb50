// The real main window, created in the test process: captions and hints, menus, layout
// and sizing rules, the splitter, the list view of the model, check boxes and closing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui/ui_text.h"
#include "pakvane_version.h"
#include "win32/hints.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

struct ShownBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT flags;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousHook_ =
            SetMessageBoxHook([this](HWND owner, std::wstring_view text, std::wstring_view caption, UINT flags) {
                boxes_.push_back({owner, std::wstring(text), std::wstring(caption), flags});
                return answer_;
            });
        form_ = std::make_unique<TMainForm>(GetModuleHandleW(nullptr), std::vector<std::string>{}, false);
        // A settings file of its own, so no earlier window's placement comes back.
        form_->UseSettingsFile(testing::MakeScratchFolder("pvmw") + "pakvane.ini");
        form_->Create();
        main_ = form_->Handle();
        boxes_.clear();  // the start-up may have reported that no configuration file was found
    }

    void TearDown() override
    {
        form_.reset();
        SetMessageBoxHook(std::move(previousHook_));
    }

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    HWND Control(int id) const { return form_->Control(id); }
    int Scaled(int designPixels) const { return form_->Scale()(designPixels); }
    std::wstring String(Str id) const { return Widen(form_->Strings()[id]); }

    // A control's rectangle in the main window's client coordinates.
    RECT PlaceOf(int id) const
    {
        RECT r{};
        GetWindowRect(Control(id), &r);
        MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    int HeightOf(int id) const
    {
        const RECT r = PlaceOf(id);
        return r.bottom - r.top;
    }
    SIZE WindowSize() const
    {
        RECT r{};
        GetWindowRect(main_, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    void Resize(int width, int height) const
    {
        SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Drags the splitter from (2, 1) by dy, in the given number of mouse moves.
    void DragSplitter(int dy, int steps = 1) const
    {
        HWND bar = Control(ids::kSplitter1);
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 1));
        for (int i = 1; i <= steps; ++i) SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 1 + dy * i / steps));
        SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(2, 1 + dy));
    }

    std::vector<std::wstring> MirroredRows() const
    {
        std::vector<std::wstring> rows;
        HWND list = Control(ids::kWcxList);
        const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            rows.push_back(text);
        }
        return rows;
    }

    void ClickRow(int row, int x, UINT message = WM_LBUTTONDOWN) const
    {
        HWND list = Control(ids::kWcxList);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM(x, (item.top + item.bottom) / 2);
        SendMessageW(list, message, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }

    std::unique_ptr<TMainForm> form_;
    HWND main_ = nullptr;
    std::vector<ShownBox> boxes_;
    int answer_ = IDCANCEL;
    MessageBoxHook previousHook_;
};

TEST_F(MainWindowTest, TheCaptionNamesTheProgramAndItsVersion)
{
    wchar_t text[256] = {};
    GetWindowTextW(main_, text, 256);
    EXPECT_EQ(std::wstring(text), WidenAnsi(PAKVANE_MAIN_CAPTION));
    EXPECT_NE(std::wstring(text).find(WidenAnsi(PAKVANE_PRODUCT_VERSION_TEXT)), std::wstring::npos);
    GetClassNameW(main_, text, 256);
    EXPECT_STREQ(text, kMainFormClass);
}

// The test run at another DPI says which it set up; the window must have taken it.
TEST_F(MainWindowTest, TheWindowIsLaidOutForTheScreensDpi)
{
    if (const char* expected = std::getenv("PAKVANE_EXPECT_DPI")) {
        EXPECT_EQ(form_->Scale().Dpi(), std::atoi(expected));
    }
    RECT client{};
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, Scaled(438));
    EXPECT_EQ(client.bottom, Scaled(266));
}

// Every control the table captions shows a caption from the current strings, group boxes
// padded, hinted buttons with their tooltip; a replaced string shows at once.
TEST_F(MainWindowTest, EveryControlIsCaptionedFromTheCurrentStrings)
{
    auto check = [&] {
        const auto hints = testing::ReadHints(form_->HintWindow());
        for (const ControlRow& row : TMainForm::ControlRows()) {
            HWND control = Control(row.id);
            ASSERT_NE(control, nullptr) << "control " << row.id;
            wchar_t text[512] = {};
            GetWindowTextW(control, text, 512);
            switch (row.captionKind) {
            case CaptionKind::PaddedGroup:
                EXPECT_EQ(std::wstring(text), L" " + String(row.caption) + L" ") << "control " << row.id;
                break;
            case CaptionKind::Text:
                EXPECT_EQ(std::wstring(text), String(row.caption)) << "control " << row.id;
                break;
            case CaptionKind::Hint: {
                const auto hint = hints.find(reinterpret_cast<UINT_PTR>(control));
                ASSERT_NE(hint, hints.end()) << "control " << row.id << " has no hint";
                EXPECT_EQ(hint->second, String(row.caption)) << "control " << row.id;
                EXPECT_FALSE(hint->second.empty());
                break;
            }
            case CaptionKind::Fixed:
            case CaptionKind::None:
                break;
            }
        }
    };
    check();
    EXPECT_EQ(String(Str::Extras), L"Бонусы") << "the built-in strings are in force";

    // A language file's ANSI text replaces an entry; ApplyCaptions shows it at once.
    form_->Strings().Replace(static_cast<int>(Str::Extras), "Tools & more");
    form_->Strings().Replace(static_cast<int>(Str::ListGroup), "Plugins");
    form_->ApplyCaptions();
    check();
    EXPECT_EQ(testing::ReadHints(form_->HintWindow())[reinterpret_cast<UINT_PTR>(Control(ids::kToolButton))],
              L"Tools & more");
}

// Every menu item of the tables exists once, is captioned from the current strings (with
// its shortcut), and runs a command; the sort items form one radio group.
TEST_F(MainWindowTest, EveryMenuItemIsCaptionedAndRunsACommand)
{
    for (const MenuRow& row : TMainForm::MenuRows()) {
        if (row.kind == MenuKind::Separator) continue;
        HMENU owner = nullptr;
        UINT position = 0;
        ASSERT_TRUE(FindMenuItem(form_->PopupMenuHandle(), row.id, owner, position) ||
                    FindMenuItem(form_->ToolsMenuHandle(), row.id, owner, position))
            << "item " << row.id;
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 256;
        ASSERT_TRUE(GetMenuItemInfoW(owner, position, TRUE, &info));
        std::wstring expected = String(row.caption);
        if (row.shortcut) expected += std::wstring(L"\t") + row.shortcut;
        EXPECT_EQ(std::wstring(text), expected) << "item " << row.id;
        EXPECT_EQ((info.fType & MFT_RADIOCHECK) != 0, row.kind == MenuKind::Radio) << "item " << row.id;
        EXPECT_EQ(info.hSubMenu != nullptr, row.kind == MenuKind::Submenu) << "item " << row.id;
        if (row.kind != MenuKind::Submenu) {
            EXPECT_TRUE(TMainForm::HandlesCommand(row.id)) << "item " << row.id;
        }
    }
    EXPECT_TRUE(form_->SortByExtension());
    EXPECT_TRUE(GetMenuState(form_->ToolsMenuHandle(), ids::kSort1Item, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(form_->LanguageMenuHandle(), ids::kDefLngItem, MF_BYCOMMAND) & MF_CHECKED);

    // The sort items form one radio group, also when the command comes from outside.
    SendMessageW(main_, WM_COMMAND, ids::kSort2Item, 0);
    EXPECT_FALSE(form_->SortByExtension());
    EXPECT_TRUE(GetMenuState(form_->ToolsMenuHandle(), ids::kSort2Item, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(form_->ToolsMenuHandle(), ids::kSort1Item, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageW(main_, WM_COMMAND, ids::kSort1Item, 0);
    EXPECT_TRUE(form_->SortByExtension());
    EXPECT_FALSE(GetMenuState(form_->ToolsMenuHandle(), ids::kSort2Item, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(MainWindowTest, StartsWithTheListCommandsDisabledAndTheOthersEnabled)
{
    for (int id : {ids::kAddButton, ids::kPropButton, ids::kDelButton, ids::kApplyButton}) {
        EXPECT_FALSE(IsWindowEnabled(Control(id))) << "control " << id;
    }
    for (int id : {ids::kOpenIniButton, ids::kToolButton, ids::kCancelButton}) {
        EXPECT_TRUE(IsWindowEnabled(Control(id))) << "control " << id;
    }
    for (int id : {ids::kAddItem, ids::kPropItem, ids::kDelItem}) {
        EXPECT_TRUE(GetMenuState(form_->PopupMenuHandle(), id, MF_BYCOMMAND) & MF_GRAYED) << "item " << id;
    }
    EXPECT_FALSE(GetMenuState(form_->PopupMenuHandle(), ids::kCommentItem, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(form_->HasUnsavedChanges());
}

// Whether two rectangles share more than an edge of `edge` pixels (the button column's
// neighbours share one design pixel).
bool Overlaps(const RECT& a, const RECT& b, int edge)
{
    const LONG width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const LONG height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > edge && height > edge;
}
bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
bool IsGroupBox(HWND control)
{
    return (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// At the size as created and grown: every control inside the client area, no two
// overlapping (a control lies wholly inside a group box or outside it), and every control
// keeps its distance to the sides it is anchored to.
TEST_F(MainWindowTest, ControlsStayInsideApartAndAnchoredAsTheWindowGrows)
{
    RECT client{};
    std::map<int, RECT> before;
    for (const ControlRow& row : TMainForm::ControlRows()) before[row.id] = PlaceOf(row.id);

    const SIZE created = WindowSize();
    const int dx = 100, dy = 60;
    for (int grown = 0; grown < 2; ++grown) {
        if (grown) Resize(created.cx + dx, created.cy + dy);
        GetClientRect(main_, &client);
        for (const ControlRow& row : TMainForm::ControlRows()) {
            const RECT r = PlaceOf(row.id);
            EXPECT_TRUE(Contains(client, r)) << "control " << row.id << " grown " << grown;
            EXPECT_GT(r.right - r.left, 0) << "control " << row.id;
            EXPECT_GT(r.bottom - r.top, 0) << "control " << row.id;
            for (const ControlRow& other : TMainForm::ControlRows()) {
                if (other.id <= row.id) continue;
                const RECT o = PlaceOf(other.id);
                const bool nested = (IsGroupBox(Control(row.id)) && Contains(r, o)) ||
                                    (IsGroupBox(Control(other.id)) && Contains(o, r));
                EXPECT_TRUE(nested || !Overlaps(r, o, Scaled(1))) << "controls " << row.id << " and " << other.id;
            }
            if (!grown || !HasDesignPlace(row)) continue;
            const RECT& was = before[row.id];
            const int growX = (row.anchors & kAnchorLeft) && (row.anchors & kAnchorRight) ? dx : 0;
            const int moveX = !(row.anchors & kAnchorLeft) && (row.anchors & kAnchorRight) ? dx : 0;
            const int growY = (row.anchors & kAnchorTop) && (row.anchors & kAnchorBottom) ? dy : 0;
            const int moveY = !(row.anchors & kAnchorTop) && (row.anchors & kAnchorBottom) ? dy : 0;
            EXPECT_EQ(r.left, was.left + moveX) << "control " << row.id;
            EXPECT_EQ(r.right, was.right + moveX + growX) << "control " << row.id;
            EXPECT_EQ(r.top, was.top + moveY) << "control " << row.id;
            EXPECT_EQ(r.bottom, was.bottom + moveY + growY) << "control " << row.id;
        }
        // List, splitter and memo fill the group from top to bottom, in that order.
        const RECT group = PlaceOf(ids::kGroupBox2), list = PlaceOf(ids::kWcxList);
        const RECT bar = PlaceOf(ids::kSplitter1), memo = PlaceOf(ids::kCommMemo);
        EXPECT_GT(list.top, group.top);
        EXPECT_EQ(list.bottom, bar.top);
        EXPECT_EQ(bar.bottom - bar.top, Scaled(3));
        EXPECT_EQ(bar.bottom, memo.top);
        EXPECT_LT(memo.bottom, group.bottom);
        EXPECT_EQ(memo.bottom - memo.top, Scaled(81)) << "the memo keeps its height as the window grows";
    }
}

TEST_F(MainWindowTest, TheWindowNeverGetsSmallerThanCreated)
{
    const SIZE created = WindowSize();
    EXPECT_EQ(form_->MinimumSize().cx, created.cx);
    EXPECT_EQ(form_->MinimumSize().cy, created.cy);
    const SIZE tries[] = {{100, 100}, {created.cx - 1, created.cy + 40}, {created.cx + 40, 10}};
    for (const SIZE& attempt : tries) {
        Resize(attempt.cx, attempt.cy);
        EXPECT_EQ(WindowSize().cx, std::max(attempt.cx, created.cx)) << attempt.cx << "x" << attempt.cy;
        EXPECT_EQ(WindowSize().cy, std::max(attempt.cy, created.cy)) << attempt.cx << "x" << attempt.cy;
    }
    MINMAXINFO info{};
    SendMessageW(main_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, created.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, created.cy);
}

// The memo's limits while the splitter is dragged, in device pixels at any DPI: above the
// minimum, below the group less the minimum and the bar; a step onto the minimum is refused.
TEST_F(MainWindowTest, SplitterDragKeepsTheMemoWithinItsLimits)
{
    const int start = Scaled(81), minimum = Scaled(50), bar = Scaled(3);
    const int group = HeightOf(ids::kGroupBox2);
    struct DragCase {
        const char* name;
        int dy;
        int steps;
        int expectedMemo;
    };
    const DragCase drags[] = {
        {"down to just above the minimum", start - minimum - 1, 1, minimum + 1},
        {"down onto the minimum in one leap is refused", start - minimum, 1, start},
        {"far down in one leap is refused", 1000, 1, start},
        {"far down step by step stops above the minimum", 200, 200, minimum + 1},
        {"up a little", -10, 1, start + 10},
        {"far up stops at the group less the minimum and the bar", -1000, 1, group - minimum - bar},
    };
    for (const DragCase& drag : drags) {
        form_->SetMemoHeight(start);
        ASSERT_EQ(HeightOf(ids::kCommMemo), start);
        DragSplitter(drag.dy, drag.steps);
        EXPECT_EQ(HeightOf(ids::kCommMemo), drag.expectedMemo) << drag.name;
        EXPECT_EQ(PlaceOf(ids::kSplitter1).bottom, PlaceOf(ids::kCommMemo).top) << drag.name;
        EXPECT_EQ(PlaceOf(ids::kWcxList).bottom, PlaceOf(ids::kSplitter1).top) << drag.name;
        EXPECT_EQ(GetCapture(), nullptr) << drag.name;
    }
}

TEST_F(MainWindowTest, ResizingKeepsTheMemoWithinTheGroup)
{
    const SIZE created = WindowSize();
    Resize(created.cx, created.cy + 300);
    DragSplitter(-2000);
    const int group = HeightOf(ids::kGroupBox2);
    EXPECT_EQ(HeightOf(ids::kCommMemo), group - Scaled(50) - Scaled(3));

    // Shrinking back: the memo gives way so the list keeps its minimum.
    Resize(created.cx, created.cy);
    const int shrunk = HeightOf(ids::kGroupBox2);
    EXPECT_EQ(HeightOf(ids::kCommMemo), shrunk - Scaled(50) - 1);

    // A memo height below the minimum is brought up to just above it.
    form_->SetMemoHeight(10);
    EXPECT_EQ(HeightOf(ids::kCommMemo), Scaled(50) + 1);
}

TEST_F(MainWindowTest, TheListMirrorsTheModelRows)
{
    const std::vector<AssociationRow> rows = {
        {"zip=95,c:\\wcx\\zip.wcx", true}, {"rar=4,c:\\wcx\\caf\xE9.wcx", false}, {"7z=287,c:\\wcx\\7z.wcx", true}};
    form_->SetConfiguration("c:\\totalcmd\\wincmd.ini", rows);

    std::vector<std::wstring> expected;
    for (const auto& row : rows) expected.push_back(WidenAnsi(row.text));
    EXPECT_EQ(MirroredRows(), expected);
    EXPECT_EQ(SendMessageW(Control(ids::kWcxList), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(form_->List().Selected(), 0);
    wchar_t path[MAX_PATH] = {};
    GetWindowTextW(Control(ids::kIniShow), path, MAX_PATH);
    EXPECT_STREQ(path, L"c:\\totalcmd\\wincmd.ini");
    EXPECT_EQ(form_->ConfigurationPath(), "c:\\totalcmd\\wincmd.ini");
    for (int id : {ids::kAddButton, ids::kPropButton, ids::kDelButton}) EXPECT_TRUE(IsWindowEnabled(Control(id))) << id;
    EXPECT_FALSE(form_->HasUnsavedChanges()) << "loading is no change";

    // A change of the model shows after RefreshList, selection included.
    form_->List().Erase(0);
    form_->List().Append("arj=4,c:\\wcx\\arj.wcx", false);
    form_->List().Select(2);
    form_->RefreshList();
    EXPECT_EQ(MirroredRows(), (std::vector<std::wstring>{expected[1], expected[2], L"arj=4,c:\\wcx\\arj.wcx"}));
    EXPECT_EQ(SendMessageW(Control(ids::kWcxList), LB_GETCURSEL, 0, 0), 2);

    // An empty configuration allows adding only.
    form_->DisableListCommands();
    form_->SetConfiguration("c:\\other.ini", {});
    EXPECT_TRUE(MirroredRows().empty());
    EXPECT_EQ(form_->List().Selected(), -1);
    EXPECT_TRUE(IsWindowEnabled(Control(ids::kAddButton)));
    EXPECT_FALSE(IsWindowEnabled(Control(ids::kPropButton)));
    EXPECT_FALSE(IsWindowEnabled(Control(ids::kDelButton)));
}

TEST_F(MainWindowTest, CheckBoxClicksSwitchRowsInTheModelAndMarkTheChange)
{
    form_->SetConfiguration("c:\\wincmd.ini", {{"zip=1,c:\\a.wcx", true},
                                               {" ZIP =2,c:\\b.wcx", false},
                                               {"rar=3,c:\\c.wcx", true},
                                               {"zipx=4,c:\\d.wcx", true}});
    auto checks = [&] {
        std::vector<bool> states;
        for (const auto& row : form_->List().Rows()) states.push_back(row.checked);
        return states;
    };

    // The Apply button shows the unsaved-changes state, whatever changed it.
    auto applyShown = [&] { return IsWindowEnabled(Control(ids::kApplyButton)) != FALSE; };

    // Clicking the text selects without switching.
    ClickRow(1, 60);
    EXPECT_EQ(form_->List().Selected(), 1);
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, true, true}));
    EXPECT_FALSE(form_->HasUnsavedChanges());

    // Switching a row on switches off its rival with the same extension (case and blanks
    // aside), and nothing else.
    ClickRow(1, 4);
    EXPECT_EQ(checks(), (std::vector<bool>{false, true, true, true}));
    EXPECT_TRUE(form_->HasUnsavedChanges());
    EXPECT_TRUE(applyShown());
    EXPECT_EQ(MirroredRows().size(), 4u);

    // Space switches the selected row; switching off touches no other row.
    form_->SetUnsavedChanges(false);
    EXPECT_FALSE(applyShown());
    ClickRow(2, 60);
    SendMessageW(Control(ids::kWcxList), WM_CHAR, L' ', 0);
    EXPECT_EQ(form_->List().Selected(), 2);
    EXPECT_EQ(checks(), (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(form_->HasUnsavedChanges());

    // A click on a check box of another row selects that row and switches it.
    ClickRow(0, 4);
    EXPECT_EQ(form_->List().Selected(), 0);
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, false, true}));

    // The list reports the ticks it shows as item data, and the rows as their text.
    HWND list = Control(ids::kWcxList);
    std::vector<LRESULT> data;
    for (WPARAM i = 0; i < 5; ++i) data.push_back(SendMessageW(list, LB_GETITEMDATA, i, 0));
    EXPECT_EQ(data, (std::vector<LRESULT>{1, 0, 0, 1, LB_ERR}));
    EXPECT_EQ(MirroredRows()[1], L" ZIP =2,c:\\b.wcx");
    const auto find = [&](UINT message, WPARAM after, const wchar_t* text) {
        return SendMessageW(list, message, after, reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), L"RAR=3,C:\\C.WCX"), 2);
    EXPECT_EQ(find(LB_FINDSTRING, 0, L"zip"), 3);
    EXPECT_EQ(find(LB_FINDSTRING, static_cast<WPARAM>(-1), L"7z"), LB_ERR);

    // A letter selects the next row that starts with it, in any case, wrapping round.
    for (const auto& [letter, selected] : {std::pair{L'z', 3}, {L'Z', 0}, {L'r', 2}, {L'q', 2}}) {
        SendMessageW(list, WM_CHAR, letter, 0);
        EXPECT_EQ(form_->List().Selected(), selected) << static_cast<char>(letter);
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), selected);
    }
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, false, true}));
}

TEST_F(MainWindowTest, FirstActivationRestoresThePlacementOnce)
{
    form_->Show(SW_SHOW);
    SetForegroundWindow(main_);
    SendMessageW(main_, WM_ACTIVATE, WA_ACTIVE, 0);
    Pump();
    // With no saved placement the window is centred on the screen at its size as created.
    RECT placed{};
    GetWindowRect(main_, &placed);
    EXPECT_EQ(placed.left, (GetSystemMetrics(SM_CXSCREEN) - form_->MinimumSize().cx) / 2);
    EXPECT_EQ(placed.top, (GetSystemMetrics(SM_CYSCREEN) - form_->MinimumSize().cy) / 2);
    EXPECT_EQ(GetFocus(), Control(ids::kWcxList));

    // Later activations leave the window where the user put it.
    SetWindowPos(main_, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(main_, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(main_, WM_ACTIVATE, WA_ACTIVE, 0);
    Pump();
    GetWindowRect(main_, &placed);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
}

// Message texts: each part widened with its own code page, then formatted safely.
struct FormatCase {
    UiText pattern;
    std::string argument;
    std::wstring expected;
};

TEST(UiTextTest, MessagesWidenPatternAndArgumentEachWithItsCodePage)
{
    const FormatCase cases[] = {
        {UiText{BuiltInString(17), kBuiltInCodePage}, "C:\\wincmd.ini", L"Не могу открыть файл C:\\wincmd.ini !!!"},
        {UiText{"Cannot open %s", kAnsiCodePage}, "100%s", L"Cannot open 100%s"},
        {UiText{"Entry %d", kAnsiCodePage}, "x", L"Entry %d"},
        {UiText{"%s and %s", kAnsiCodePage}, "x", L"%s and %s"},
        {UiText{"50%% of %s", kAnsiCodePage}, "y", L"50% of y"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(FormatUiMessage(c.pattern, c.argument), c.expected) << c.pattern.text;
    EXPECT_EQ(Widen(UiText{"\xC0\xE1\xE2", 1251}), L"Абв");
    EXPECT_EQ(WidenAnsi(""), L"");
}

TEST(UiTextTest, TheHookAnswersMessageBoxesAndIsRestored)
{
    int calls = 0;
    auto previous = SetMessageBoxHook([&](HWND, std::wstring_view text, std::wstring_view caption, UINT flags) {
        ++calls;
        EXPECT_EQ(text, L"Ошибка сохранения!!! Повторить?");
        EXPECT_EQ(caption, L"Ошибка");
        EXPECT_EQ(flags, 19u);
        return IDNO;
    });
    InterfaceStrings strings;
    strings.FillBuiltIn();
    EXPECT_EQ(ShowMessageBox(nullptr, strings, Str::SaveFailedRetry, Str::Error, MB_YESNOCANCEL | MB_ICONERROR), IDNO);
    EXPECT_EQ(calls, 1);
    auto mine = SetMessageBoxHook(std::move(previous));
    EXPECT_TRUE(static_cast<bool>(mine));
}

}  // namespace
}  // namespace pakvane
