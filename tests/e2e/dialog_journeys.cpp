// The properties and comment dialogs and the folder picker, worked from outside as a user
// works them, with the real test plugins: what the list shows afterwards, the message boxes
// on the way, and the bytes that land in wincmd.ini, pakvane.ini and descript.ion.
// The dialogs' layout, the flag mapping and the store's edge cases are proved in-process.

#include <cstdio>
#include <system_error>

#include "app.h"
#include "app/control_ids.h"
#include "dialog_support.h"
#include "journey.h"
#include "program_text.h"

using namespace pakvane;
using namespace pakvane::e2e;

namespace {

using Bytes = std::optional<std::string>;
using Rows = std::vector<std::wstring>;
using Checks = std::vector<LRESULT>;

HWND Part(Journey& j, HWND dialog, int id)
{
    const HWND control = FindDescendant(dialog, id);
    if (!control) j.Abort("the dialog has no control with ID " + std::to_string(id));
    return control;
}

// Presses a button of a dialog and waits until the dialog has handled it (and whatever
// box it opened is up or done).
void Press(HWND dialog, int id)
{
    PressBoxButton(dialog, id);
    Sync(dialog);
}

std::vector<int> TickedBoxes(Journey& j, HWND dialog)
{
    std::vector<int> ticked;
    for (int box = 0; box < 9; ++box)
        if (Send(Part(j, dialog, ids::kProp1 + box), BM_GETCHECK) == BST_CHECKED) ticked.push_back(box);
    return ticked;
}

// A message box that must come now, with its text and caption; answered with the button.
void ExpectBox(Journey& j, App& app, const std::wstring& text, const std::wstring& caption, int answer,
               std::string_view what)
{
    const MessageBoxInfo box = app.WaitMessageBox();
    j.CheckEqual(box.text, text, std::string(what) + ": the message");
    j.CheckEqual(box.caption, caption, std::string(what) + ": the caption");
    app.Answer(box, answer);
}

void ApplyChanges(Journey& j, App& app)
{
    const HWND apply = app.Control(ids::kApplyButton);
    j.Require(IsEnabled(apply), "ApplyButton is enabled before Apply");
    Click(apply);
    ExpectBox(j, app, S(Str::SaveSucceeded), S(Str::Information), IDOK, "Apply");
    app.Sync();
    j.Check(!IsEnabled(apply), "ApplyButton is disabled after the save");
    app.ExpectNoStray("after Apply");
}

void SwitchOff(Journey& j, App& app, int row)
{
    const HWND list = app.Control(ids::kWcxList);
    SelectRow(app.Main(), list, row);
    PressSpace(list);
    j.Await([&] { return ListItemData(list).at(static_cast<size_t>(row)) == 0; }, kBoxTimeoutMs,
            "row " + std::to_string(row) + " is switched off");
}

// While a dialog is open it is the only window besides the main one: no message box.
void ExpectNoBox(Journey& j, App& app, std::string_view step)
{
    for (HWND box : VisibleDialogs(app.Pid()))
        j.Check(false, "message box " + std::string(step) + ": " + Describe(ReadMessageBox(box).text));
}

std::string Ansi(const std::wstring& ascii_path)
{
    return Utf8(ascii_path);
}

// The settings file's section for the properties dialog's place where it was closed.
std::string PropSection(const Rect& closed_at)
{
    return "[Prop]\r\nLeft=" + std::to_string(closed_at.left) + "\r\nTop=" + std::to_string(closed_at.top) + "\r\n\r\n";
}

}  // namespace

// Add: the extension as typed, the flags the plugin reports, the row switched on and its
// rival switched off; Apply writes both files.
PAKVANE_JOURNEY(properties_add_detects_and_saves)
{
    CopyTestPlugins(j, j.At("plugins"), {L"full.wcx"});
    const std::wstring full = j.WinPath("plugins\\full.wcx");
    WriteFileBytes(j.At("wincmd.ini"), "[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\nzip=95,c:\\wcx\\zip.wcx\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const HWND list = app.Control(ids::kWcxList);

    Click(app.Control(ids::kAddButton));
    const HWND dialog = WaitWindowOfClass(j, app, kPropFormClass);
    j.CheckEqual(WindowText(dialog), S(Str::PropertiesCaption), "the dialog's caption");
    j.CheckEqual(WindowText(Part(j, dialog, ids::kExtEdit)), std::wstring(), "ExtEdit of a new row");
    j.CheckEqual(WindowText(Part(j, dialog, ids::kKodShow)), std::wstring(L"0"), "KodShow of a new row");
    SetText(Part(j, dialog, ids::kExtEdit), L"ZIP");
    SetText(Part(j, dialog, ids::kFilePath), full);
    Press(dialog, ids::kAutoButton);
    // The probe runs in a probe host; the program answers other processes' messages meanwhile.
    j.Await([&] { return WindowText(Part(j, dialog, ids::kKodShow)) == L"516"; }, kBoxTimeoutMs,
            "KodShow shows 516 after detection");
    ExpectNoBox(j, app, "after detecting full.wcx");
    j.CheckEqual(TickedBoxes(j, dialog), std::vector<int>{2}, "boxes ticked for 516 (512 has no box)");
    const Rect closed_at = ScreenRect(dialog);
    Press(dialog, ids::kPropOkButton);
    WaitGone(j, dialog, "the properties dialog after OK");
    app.Sync();
    app.ExpectNoStray("after adding");

    const std::wstring added = L"zip=516," + full;
    j.CheckEqual(ListRows(list), Rows{L"arj=7,c:\\wcx\\arj.wcx", L"zip=95,c:\\wcx\\zip.wcx", added}, "rows after Add");
    j.CheckEqual(ListItemData(list), Checks{1, 0, 1}, "the added row on, its rival off");
    j.CheckEqual(ListSelection(list), 2, "the added row is selected");
    j.CheckEqual(WindowText(app.Control(ids::kCommMemo)), S(Str::NoComment) + L"\r\n", "memo of the added row");

    ApplyChanges(j, app);
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")),
                 Bytes("[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\nzip=516," + Ansi(full) + "\r\n"),
                 "wincmd.ini after Apply");
    j.CheckEqual(ReadFileBytes(j.At("pakvane.ini")),
                 Bytes(PropSection(closed_at) + "[PackerPlugins]\r\n1=zip=95,c:\\wcx\\zip.wcx\r\n"),
                 "pakvane.ini after Apply");
    app.Close();
    app.ExpectExit(0);
}

// Properties of a switched-off row and of a row by Enter: the values come back unchanged
// through OK, bits without a box included; a box changes only its own bit.
PAKVANE_JOURNEY(properties_edit_round_trips)
{
    CopyTestPlugins(j, j.At("plugins"), {L"full.wcx"});
    const std::string full = Ansi(j.WinPath("plugins\\full.wcx"));
    const std::wstring wfull = j.WinPath("plugins\\full.wcx");
    WriteFileBytes(j.At("wincmd.ini"), "[PackerPlugins]\r\n7z=735," + full + "\r\nrar=1023," + full + "\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const HWND list = app.Control(ids::kWcxList);
    SwitchOff(j, app, 0);

    PostCommand(app.Main(), ids::kPropItem);
    HWND dialog = WaitWindowOfClass(j, app, kPropFormClass);
    j.CheckEqual(WindowText(Part(j, dialog, ids::kExtEdit)), std::wstring(L"7z"), "ExtEdit of 7z");
    j.CheckEqual(WindowText(Part(j, dialog, ids::kKodShow)), std::wstring(L"735"), "KodShow of 7z");
    j.CheckEqual(WindowText(Part(j, dialog, ids::kFilePath)), wfull, "FilePath of 7z");
    j.CheckEqual(TickedBoxes(j, dialog), std::vector<int>{0, 1, 2, 3, 4, 6, 7}, "boxes ticked for 735");
    // Moved away from the centre, so that the next opening shows where it comes back.
    SetWindowPos(dialog, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const Rect closed_at = ScreenRect(dialog);
    Press(dialog, ids::kPropOkButton);
    WaitGone(j, dialog, "the properties dialog of 7z");
    app.Sync();
    j.CheckEqual(ListRows(list), Rows{L"7z=735," + wfull, L"rar=1023," + wfull}, "rows after OK on 7z");
    j.CheckEqual(ListItemData(list), Checks{0, 1}, "7z stays off after OK");

    // Enter on the list opens the selected row; one box switched off changes one bit.
    SelectRow(app.Main(), list, 1);
    app.Sync();
    PostKey(list, VK_RETURN);
    dialog = WaitWindowOfClass(j, app, kPropFormClass);
    j.CheckEqual(WindowText(Part(j, dialog, ids::kKodShow)), std::wstring(L"1023"), "KodShow of rar");
    j.CheckEqual(Describe(ScreenRect(dialog)), Describe(closed_at), "the dialog opens where it was closed");
    j.CheckEqual(TickedBoxes(j, dialog), std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}, "boxes ticked for 1023");
    Click(Part(j, dialog, ids::kProp1 + 8));
    Sync(dialog);
    j.CheckEqual(WindowText(Part(j, dialog, ids::kKodShow)), std::wstring(L"767"), "KodShow without bit 256");
    Press(dialog, ids::kPropOkButton);
    WaitGone(j, dialog, "the properties dialog of rar");
    app.Sync();
    app.ExpectNoStray("after editing");
    j.CheckEqual(ListRows(list), Rows{L"7z=735," + wfull, L"rar=767," + wfull}, "rows after editing rar");
    j.CheckEqual(ListItemData(list), Checks{0, 1}, "check states after editing rar");

    ApplyChanges(j, app);
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes("[PackerPlugins]\r\nrar=767," + full + "\r\n"),
                 "wincmd.ini after Apply");
    j.CheckEqual(ReadFileBytes(j.At("pakvane.ini")),
                 Bytes(PropSection(closed_at) + "[PackerPlugins]\r\n0=7z=735," + full + "\r\n"),
                 "pakvane.ini after Apply");
    app.Close();
    app.ExpectExit(0);
}

// OK refuses in order, each time with its message and the focus on the field at fault; a
// plugin that crashes is refused like one that does not load, and the program goes on.
PAKVANE_JOURNEY(properties_ok_refusals)
{
    ScopedVariable no_commander(L"COMMANDER_PATH", nullptr);
    CopyTestPlugins(j, j.At("plugins"), {L"full.wcx", L"notdll.wcx", L"crashcaps.wcx"});
    const std::wstring full = j.WinPath("plugins\\full.wcx");
    const std::wstring notdll = j.WinPath("plugins\\notdll.wcx");
    const std::wstring crashing = j.WinPath("plugins\\crashcaps.wcx");
    WriteFileBytes(j.At("wincmd.ini"), "[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});

    Click(app.Control(ids::kAddButton));
    const HWND dialog = WaitWindowOfClass(j, app, kPropFormClass);
    const HWND ext = Part(j, dialog, ids::kExtEdit);
    const HWND path = Part(j, dialog, ids::kFilePath);
    const auto refused = [&](const std::wstring& text, HWND at_fault, const char* what) {
        Press(dialog, ids::kPropOkButton);
        ExpectBox(j, app, text, S(Str::Error), IDOK, what);
        Sync(dialog);
        j.Check(IsShown(dialog), std::string("the dialog stays open: ") + what);
        j.Check(HasFocus(at_fault), std::string("the focus is on the field at fault: ") + what);
    };
    SetText(path, full);
    refused(S(Str::NoExtension), ext, "no extension");
    SetText(ext, L"rar");
    SetText(path, L"");
    refused(S(Str::NoPlugin), path, "no path");

    // A path under the commander folder when none is known: asked for, and declined.
    SetText(path, L"%COMMANDER_PATH%\\full.wcx");
    Press(dialog, ids::kPropOkButton);
    ExpectBox(j, app, S(Str::CommanderPathUnknown), S(Str::Error), IDOK, "commander folder unknown");
    HWND picker = nullptr;
    j.Await([&] { return (picker = FindFolderPicker(app.Pid())) != nullptr; }, kBoxTimeoutMs, "the folder picker");
    j.Require(picker != nullptr, "no folder picker");
    PressBoxButton(picker, IDCANCEL);
    WaitGone(j, picker, "the folder picker");
    Sync(dialog);
    j.Check(HasFocus(path), "the focus is on the path after the commander folder was declined");

    SetText(path, notdll);
    refused(Formatted(Str::CannotLoadPlugin, notdll), path, "not a plugin");
    // A plugin that crashes takes its probe host down, not the program: the same refusal,
    // with the reason under it.
    SetText(path, crashing);
    refused(Formatted(Str::CannotLoadPlugin, crashing) + L"\n\n" +
                Detail(MessageDetail::PluginCrashed, Str::CannotLoadPlugin),
            path, "a plugin that crashes");

    SetText(path, full);
    Press(dialog, ids::kPropOkButton);
    WaitGone(j, dialog, "the properties dialog after a good OK");
    app.Sync();
    app.ExpectNoStray("after the refusals");
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)), Rows{L"arj=7,c:\\wcx\\arj.wcx", L"rar=0," + full},
                 "rows after OK (no detection asked for, no flags)");
    app.Close();
    auto box = app.WaitMessageBox();
    app.Answer(box, IDNO);
    app.ExpectExit(0);
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes("[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\n"),
                 "wincmd.ini untouched after No");
}

// Configure: a plugin without ConfigurePacker is told so; one with it gets the dialog as
// parent and its own module handle.
PAKVANE_JOURNEY(properties_configure)
{
    CopyTestPlugins(j, j.At("plugins"), {L"full.wcx", L"nocaps.wcx"});
    WriteFileBytes(j.At("wincmd.ini"), "[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    Click(app.Control(ids::kAddButton));
    const HWND dialog = WaitWindowOfClass(j, app, kPropFormClass);
    const HWND path = Part(j, dialog, ids::kFilePath);

    SetText(path, j.WinPath("plugins\\nocaps.wcx"));
    Press(dialog, ids::kConfigButton);
    ExpectBox(j, app, S(Str::NoConfigureFunction), S(Str::Information), IDOK, "configure nocaps.wcx");
    Sync(dialog);
    j.Check(!ReadFileBytes(j.At("plugins\\configured.txt")), "nothing was configured");

    SetText(path, j.WinPath("plugins\\full.wcx"));
    Press(dialog, ids::kConfigButton);
    Bytes proof;
    j.Await([&] { return (proof = ReadFileBytes(j.At("plugins\\configured.txt"))) && proof->size() >= 26; },
            kBoxTimeoutMs, "full.wcx has written configured.txt");
    ExpectNoBox(j, app, "after configuring full.wcx");
    if (proof) {
        char parent[9] = {}, given[9] = {}, own[9] = {};
        std::sscanf(proof->c_str(), "%8s %8s %8s", parent, given, own);
        char expected[16];
        std::snprintf(expected, sizeof expected, "%08lX",
                      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(dialog)));
        j.CheckEqual(std::string(parent), std::string(expected), "ConfigurePacker's parent is the properties dialog");
        j.CheckEqual(std::string(given), std::string(own), "ConfigurePacker gets the plugin's own module handle");
    }
    Press(dialog, ids::kPropCancelButton);
    WaitGone(j, dialog, "the properties dialog after Cancel");
    app.Sync();
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)), Rows{L"arj=7,c:\\wcx\\arj.wcx"}, "rows after Cancel");
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "nothing to apply after Cancel");
    app.Close();
    app.ExpectExit(0);
}

// Delete asks with the extension; No keeps the row, Yes removes it.
PAKVANE_JOURNEY(delete_asks_first)
{
    const std::string ini = "[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\nzip=95,c:\\wcx\\zip.wcx\r\n";
    WriteFileBytes(j.At("wincmd.ini"), ini);
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const HWND list = app.Control(ids::kWcxList);
    const Rows rows{L"arj=7,c:\\wcx\\arj.wcx", L"zip=95,c:\\wcx\\zip.wcx"};
    SelectRow(app.Main(), list, 1);
    app.Sync();

    Click(app.Control(ids::kDelButton));
    ExpectBox(j, app, Formatted(Str::DeleteQuestion, L"zip"), S(Str::Question), IDNO, "delete answered No");
    app.Sync();
    j.CheckEqual(ListRows(list), rows, "rows after No");
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "nothing to apply after No");

    Click(app.Control(ids::kDelButton));
    ExpectBox(j, app, Formatted(Str::DeleteQuestion, L"zip"), S(Str::Question), IDYES, "delete answered Yes");
    app.Sync();
    app.ExpectNoStray("after deleting");
    j.CheckEqual(ListRows(list), Rows{rows[0]}, "rows after Yes");
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(ini), "wincmd.ini before Apply");
    ApplyChanges(j, app);
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes("[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\n"),
                 "wincmd.ini after Apply");
    app.Close();
    app.ExpectExit(0);
}

namespace {

// Bytes as the OEM code page reads them, shown in the ANSI one: what the dialog's button does.
std::string OemToAnsi(std::string bytes)
{
    bytes.push_back('\0');
    OemToCharBuffA(bytes.data(), bytes.data(), static_cast<DWORD>(bytes.size()));
    bytes.resize(bytes.find('\0'));
    return bytes;
}

// Ctrl+Z as real key strokes to the list, which must have the focus.
bool PressCtrlZ(HWND list)
{
    if (!HasFocus(list)) return false;
    INPUT keys[4] = {};
    const WORD order[4][2] = {{VK_CONTROL, 0}, {'Z', 0}, {'Z', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i][0];
        keys[i].ki.dwFlags = order[i][1];
    }
    return SendInput(4, keys, sizeof(INPUT)) == 4;
}

}  // namespace

// The comment command: OEM text converted once and twice, pasted line breaks joined, an
// empty comment removing the entry and, with the last one, descript.ion.
PAKVANE_JOURNEY(comment_edit)
{
    CopyTestPlugins(j, j.At("plugins"), {L"full.wcx"});
    const fs::path ion = j.At("plugins\\descript.ion");
    WriteFileBytes(j.At("wincmd.ini"), "[PackerPlugins]\r\nzip=516," + Ansi(j.WinPath("plugins\\full.wcx")) + "\r\n");
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const HWND list = app.Control(ids::kWcxList);
    const HWND memo = app.Control(ids::kCommMemo);
    // "Оригинал" in the Russian DOS code page; every byte is a character of 1252 and 1251.
    const std::string oem = "\x8E\xE0\xA8\xA3\xA8\xAD\xA0\xAB";
    const std::string once = OemToAnsi(oem);
    const std::string twice = OemToAnsi(once);
    j.Check(once != oem && twice != once, "the OEM sample changes at each conversion");

    struct Edit {
        const char* what;
        std::wstring typed;
        int presses;
        Bytes ion;  // descript.ion afterwards
        std::wstring shown;  // the main window's memo afterwards
    };
    const Edit edits[] = {
        {"one press", Widen(oem, CP_ACP), 1, "full.wcx " + once + "\r\n", Widen(once, CP_ACP) + L"\r\n"},
        {"two presses", Widen(oem, CP_ACP), 2, "full.wcx " + twice + "\r\n", Widen(twice, CP_ACP) + L"\r\n"},
        {"pasted lines", L"first line\r\nsecond line", 0, "full.wcx first line second line\r\n",
         L"first line second line\r\n"},
        {"empty", L"", 0, std::nullopt, S(Str::NoComment) + L"\r\n"},
    };
    std::wstring before;
    for (const Edit& edit : edits) {
        if (&edit == &edits[0]) {
            j.Require(PressCtrlZ(list), "the list has the focus for Ctrl+Z");
        } else {
            PostCommand(app.Main(), ids::kCommentItem);
        }
        const HWND dialog = WaitWindowOfClass(j, app, kCommentFormClass);
        const HWND text = Part(j, dialog, ids::kCommentMemo);
        j.CheckEqual(WindowText(dialog), std::wstring(L"full.wcx"), std::string("caption: ") + edit.what);
        j.CheckEqual(WindowText(text), before, std::string("the comment shown: ") + edit.what);
        SetText(text, edit.typed);
        for (int i = 0; i < edit.presses; ++i) Press(dialog, ids::kOem2AnsiButton);
        if (edit.presses)
            j.CheckEqual(WindowText(text), Widen(edit.presses == 1 ? once : twice, CP_ACP),
                         std::string("converted: ") + edit.what);
        Press(dialog, ids::kCommentOkButton);
        WaitGone(j, dialog, std::string("the comment dialog: ") + edit.what);
        app.Sync();
        app.ExpectNoStray(edit.what);
        j.CheckEqual(ReadFileBytes(ion), edit.ion, std::string("descript.ion: ") + edit.what);
        if (edit.ion) {
            const DWORD attributes = GetFileAttributesW(ion.c_str());
            j.Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN),
                    std::string("descript.ion is hidden: ") + edit.what);
        }
        j.CheckEqual(WindowText(memo), edit.shown, std::string("the memo: ") + edit.what);
        before = edit.shown.substr(0, edit.shown.size() - 2);
    }
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "comments leave nothing to apply");
    app.Close();
    app.ExpectExit(0);
}

namespace {

// A folder for the commander with full.wcx and its comment.
void MakeCommanderFolder(Journey& j, const fs::path& folder, const std::string& comment)
{
    CopyTestPlugins(j, folder, {L"full.wcx"});
    WriteFileBytes(folder / L"descript.ion", "full.wcx " + comment + "\r\n");
}

HWND WaitPicker(Journey& j, App& app)
{
    HWND picker = nullptr;
    j.Await([&] { return (picker = FindFolderPicker(app.Pid())) != nullptr; }, kBoxTimeoutMs, "the folder picker");
    if (!picker) app.SweepStray("instead of the folder picker", std::source_location::current());
    j.Require(picker != nullptr, "no folder picker");
    j.CheckEqual(WindowText(GetDlgItem(picker, 0x3742)), S(Str::AskCommanderFolder), "the folder picker's title");
    return picker;
}

void ClosePicker(Journey& j, App& app, HWND picker, int button)
{
    PressBoxButton(picker, button);
    WaitGone(j, picker, "the folder picker");
    app.Sync();
}

const std::string kCommanderRows =
    "[PackerPlugins]\r\narj=7,c:\\wcx\\arj.wcx\r\nzip=516,%COMMANDER_PATH%\\full.wcx\r\n";

}  // namespace

// The memo of a row under the commander folder when no folder is known: asked once, then the
// picker; declined, no comment; chosen, the comment from the chosen folder, and no more asking.
PAKVANE_JOURNEY(memo_asks_for_commander_folder)
{
    ScopedVariable no_commander(L"COMMANDER_PATH", nullptr);
    MakeCommanderFolder(j, j.At("tc"), "Words of the commander folder");
    WriteFileBytes(j.At("wincmd.ini"), kCommanderRows);
    App& app = j.Start({j.WinPath("wincmd.ini")});
    const HWND list = app.Control(ids::kWcxList);
    const HWND memo = app.Control(ids::kCommMemo);
    const std::wstring none = S(Str::NoComment) + L"\r\n";
    j.CheckEqual(WindowText(memo), none, "memo of arj");

    for (const bool choose : {false, true}) {
        const std::string what = choose ? "chosen" : "declined";
        SelectRow(app.Main(), list, 1);
        ExpectBox(j, app, S(Str::CommanderPathUnknown), S(Str::Error), IDOK, "commander folder unknown, " + what);
        const HWND picker = WaitPicker(j, app);
        if (choose) j.Check(PickerSelectFolder(picker, j.At("tc")), "the picker selects the commander folder");
        ClosePicker(j, app, picker, choose ? IDOK : IDCANCEL);
        app.ExpectNoStray("after the picker, " + what);
        j.CheckEqual(WindowText(memo), choose ? std::wstring(L"Words of the commander folder\r\n") : none,
                     "memo of zip, folder " + what);
        SelectRow(app.Main(), list, 0);
        app.Sync();
        app.ExpectNoStray("selecting arj, " + what);
    }
    SelectRow(app.Main(), list, 1);
    app.Sync();
    app.ExpectNoStray("selecting zip with the folder known");
    j.CheckEqual(WindowText(memo), std::wstring(L"Words of the commander folder\r\n"), "memo of zip, folder known");
    app.Close();
    app.ExpectExit(0);
}

// Tools -> the commander folder: the picker starts at the folder known; Cancel keeps it, a
// confirmed folder replaces it and the memo follows.
PAKVANE_JOURNEY(tools_choose_commander_folder)
{
    MakeCommanderFolder(j, j.At("first"), "Words of the first folder");
    MakeCommanderFolder(j, j.At("second"), "Words of the second folder");
    WriteFileBytes(j.At("wincmd.ini"), kCommanderRows);
    App& app = j.Start({j.WinPath("wincmd.ini"), j.WinPath("first")});
    const HWND list = app.Control(ids::kWcxList);
    const HWND memo = app.Control(ids::kCommMemo);
    SelectRow(app.Main(), list, 1);
    app.Sync();
    app.ExpectNoStray("selecting zip with the folder given");
    j.CheckEqual(WindowText(memo), std::wstring(L"Words of the first folder\r\n"), "memo with the folder given");

    struct Step {
        const char* what;
        const wchar_t* starts_at;
        const wchar_t* choose;  // nothing: Cancel
        const wchar_t* comment;
    };
    const Step steps[] = {
        {"Cancel", L"first", nullptr, L"Words of the first folder\r\n"},
        {"another folder", L"first", L"second", L"Words of the second folder\r\n"},
        {"Cancel after the change", L"second", nullptr, L"Words of the second folder\r\n"},
    };
    for (const Step& step : steps) {
        ReadFolderAndParents(j.At(step.starts_at));
        PostCommand(app.Main(), ids::kDefComItem);
        const HWND picker = WaitPicker(j, app);
        j.Await([&] { return PickerSelection(picker) == step.starts_at; }, kBoxTimeoutMs,
                std::string("the picker starts at the folder known: ") + step.what);
        if (step.choose) j.Check(PickerSelectFolder(picker, j.At(step.choose)), "the picker selects the other folder");
        ClosePicker(j, app, picker, step.choose ? IDOK : IDCANCEL);
        app.ExpectNoStray(step.what);
        j.CheckEqual(WindowText(memo), std::wstring(step.comment), std::string("memo after ") + step.what);
    }
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "choosing the folder leaves nothing to apply");
    app.Close();
    app.ExpectExit(0);
}
