// Loading, switching and saving the configuration file, as a user meets them: rival rows,
// the save question, another file, the commander notification, a save that cannot write.

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

// kTwoRows after switching arj off and saving.
const std::string kTwoRowsArjOff =
    "[Configuration]\r\nx = 1\r\n\r\n"
    "[PackerPlugins]\r\n"
    "zip=511,c:\\wcx\\zip.wcx\r\n";

std::vector<LRESULT> Checks(HWND list)
{
    return ListItemData(list);
}

// A section's "key=value" lines, or one line saying that it is missing.
std::vector<std::string> Section(const Bytes& bytes, std::string_view name)
{
    return IniSection(bytes, name).value_or(std::vector<std::string>{"(no section)"});
}
const std::vector<std::string> kNoSection{"(no section)"};

// Selects the row and presses the space bar on it, then waits until the row has switched.
void ToggleRow(Journey& j, App& app, int row)
{
    const HWND list = app.Control(ids::kWcxList);
    const auto before = Checks(list);
    j.Require(row < static_cast<int>(before.size()), "row " + std::to_string(row) + " to switch is missing");
    SelectRow(app.Main(), list, row);
    PressSpace(list);
    j.Await([&] { return Checks(list).at(static_cast<size_t>(row)) != before[static_cast<size_t>(row)]; },
            kBoxTimeoutMs, "row " + std::to_string(row) + " has switched");
}

// "c:\плагины\cab.wcx" in the Cyrillic code page 1251: under 1251 the list shows Cyrillic,
// under 1252 Latin letters; either way the bytes must come back unchanged.
const std::string kCyrillicPath = "c:\\\xEF\xEB\xE0\xE3\xE8\xED\xFB\\cab.wcx";

// A path as the program can hold it in the ANSI code page: as it is, or in its short form
// where the code page cannot spell it.
std::wstring AsHeldInAnsi(const std::wstring& path)
{
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()), nullptr, 0, nullptr,
                        &lossy);
    if (!lossy) return path;
    std::wstring short_path(GetShortPathNameW(path.c_str(), nullptr, 0), L'\0');
    short_path.resize(GetShortPathNameW(path.c_str(), short_path.data(), static_cast<DWORD>(short_path.size())));
    return short_path;
}

bool Exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

const std::vector<int> kYesNoCancel{IDCANCEL, IDYES, IDNO};

void ExpectSaveQuestion(Journey& j, const MessageBoxInfo& box, std::string_view when)
{
    j.CheckEqual(box.caption, S(Str::Question), std::string("caption of the save question ") + std::string(when));
    j.CheckEqual(box.text, S(Str::SaveQuestion), std::string("text of the save question ") + std::string(when));
    j.CheckEqual(box.Buttons(), kYesNoCancel, std::string("buttons of the save question ") + std::string(when));
}

void ExpectRetryQuestion(Journey& j, const MessageBoxInfo& box, std::string_view when)
{
    j.CheckEqual(box.caption, S(Str::Error), std::string("caption of the retry question ") + std::string(when));
    j.CheckEqual(box.text, S(Str::SaveFailedRetry), std::string("text of the retry question ") + std::string(when));
    j.CheckEqual(box.Buttons(), kYesNoCancel, std::string("buttons of the retry question ") + std::string(when));
}

// The success box of a save: checked and answered.
void ExpectSaved(Journey& j, App& app, std::string_view when)
{
    const auto box = app.WaitMessageBox();
    j.CheckEqual(box.caption, S(Str::Information), std::string("caption of the success box ") + std::string(when));
    j.CheckEqual(box.text, S(Str::SaveSucceeded), std::string("text of the success box ") + std::string(when));
    j.CheckEqual(box.Buttons(), std::vector<int>{IDOK}, std::string("buttons of the success box ") + std::string(when));
    app.Answer(box, IDOK);
    app.Sync();
}

void WaitClosed(Journey& j, HWND window, std::string_view what)
{
    if (!j.Await([&] { return !IsShown(window); }, kBoxTimeoutMs, std::string(what) + " has closed"))
        throw JourneyAborted{};
}

// A folder whose name code page 1252 cannot spell, where the run can make one. Wine maps
// file names through the Unix locale; under one it does not have (the run with
// LC_ALL=ru_RU.CP1251) no such name can be made, and a plain one stands in. The folder is
// removed at the end, because a run under such a locale could not remove it.
class OtherFolder {
public:
    explicit OtherFolder(Journey& j) : path_(j.At(L"другой"))
    {
        if (!CreateDirectoryW(path_.c_str(), nullptr)) {
            j.Note("no folder with a Cyrillic name in this locale; the other file lies in \"other\"");
            path_ = j.At("other");
            fs::create_directories(path_);
        }
    }
    ~OtherFolder() { RemoveTree(path_); }
    OtherFolder(const OtherFolder&) = delete;
    OtherFolder& operator=(const OtherFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::vector<std::string> Lines(const Bytes& bytes)
{
    std::vector<std::string> lines;
    if (!bytes) return lines;
    size_t start = 0;
    while (start < bytes->size()) {
        size_t end = bytes->find('\n', start);
        if (end == std::string::npos) end = bytes->size();
        std::string line = bytes->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

PAKVANE_JOURNEY(load_and_switch_rivals)
{
    // Everything outside the PackerPlugins section must survive the save byte for byte: a
    // comment, blank lines, odd spacing, a 64-bit twin section, a last line without a break.
    const std::string head =
        "; Total Commander settings\r\n"
        "[Configuration]\r\n"
        "ShowHiddenSystem = 1\r\n"
        "  InstallDir=c:\\totalcmd \r\n"
        "\r\n"
        "[PackerPlugins]\r\n";
    const std::string tail =
        "\r\n"
        "[PackerPlugins64]\r\n"
        "zip=511,c:\\wcx64\\zip.wcx\r\n"
        "\r\n"
        "[Lister]\r\n"
        "key = value\r\n"
        "\tMaximized=1\r\n"
        "LastLine=without break";
    const std::string section =
        "zip=511,c:\\wcx\\zip.wcx\r\n"
        "a=1,z:\\p.wcx\r\n"
        "ZIP=0,c:\\other\\zip.wcx\r\n"
        "arj=7,c:\\wcx\\arj.wcx\r\n"
        "Rar = 4 , c:\\wcx\\unrar.wcx\r\n"
        "ab=1,c:\\p.wcx\r\n" +
        std::string("cab=3,") + kCyrillicPath + "\r\n";
    const std::string original = head + section + tail;
    WriteFileBytes(j.At("wincmd.ini"), original);
    // A switched-off rival kept from an earlier save, and a stored line without a path.
    WriteFileBytes(j.At("pakvane.ini"), "[PackerPlugins]\r\n3=zip=31,c:\\wcx\\zip2.wcx\r\n5=arj=0,\r\n");

    // The list shows the file's bytes in the ANSI code page of the run.
    const std::wstring cab = L"cab=3," + Widen(kCyrillicPath, CP_ACP);
    {
        App& app = j.Start({j.WinPath("wincmd.ini")});
        const HWND list = app.Control(ids::kWcxList);
        // Sorted by extension and path run together: "ab"+"c:\..." comes before "arj", which
        // comes before "a"+"z:\...". ZIP=0 is the same key as zip and yields no row.
        const std::vector<std::wstring> loaded{
            L"ab=1,c:\\p.wcx",
            L"arj=7,c:\\wcx\\arj.wcx",
            L"a=1,z:\\p.wcx",
            cab,
            L"Rar=4 , c:\\wcx\\unrar.wcx",
            L"zip=511,c:\\wcx\\zip.wcx",
            L"zip=31,c:\\wcx\\zip2.wcx",
        };
        j.CheckEqual(ListRows(list), loaded, "rows after loading");
        j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 1, 1, 1, 1, 1, 0}, "check states after loading");
        j.CheckEqual(ListSelection(list), 0, "selected row after loading");
        j.CheckEqual(WindowText(app.Control(ids::kIniShow)), j.WinPath("wincmd.ini"), "IniShow");
        j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after loading");

        // Switching the stored rival on switches the loaded zip row off.
        ToggleRow(j, app, 6);
        j.CheckEqual(ListSelection(list), 6, "selected row after switching");
        j.CheckEqual(ListRows(list), loaded, "rows after switching");
        j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 1, 1, 1, 1, 0, 1}, "check states after switching");
        j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is enabled after switching");
        j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(original), "wincmd.ini before Apply");

        Click(app.Control(ids::kApplyButton));
        ExpectSaved(j, app, "after Apply");
        j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after the save");
        j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 1, 1, 1, 1, 0, 1}, "check states after the save");
        j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")),
                     Bytes(head +
                           "ab=1,c:\\p.wcx\r\n"
                           "arj=7,c:\\wcx\\arj.wcx\r\n"
                           "a=1,z:\\p.wcx\r\n"
                           "cab=3," +
                           kCyrillicPath +
                           "\r\n"
                           "rar=4,c:\\wcx\\unrar.wcx\r\n"
                           "zip=31,c:\\wcx\\zip2.wcx\r\n"
                           "ZIP=0,c:\\other\\zip.wcx\r\n" +  // a later line for zip is kept, after the rows
                           tail),
                     "wincmd.ini after the save");
        j.CheckEqual(ReadFileBytes(j.At("pakvane.ini")), Bytes("[PackerPlugins]\r\n5=zip=511,c:\\wcx\\zip.wcx\r\n"),
                     "pakvane.ini after the save (the switched-off row under its position)");
        app.ExpectNoStray("after the save");
        app.Close();
        app.ExpectExit(0);
    }

    // The next start shows the same list: the switched-off row comes back from the settings.
    App& again = j.Start({j.WinPath("wincmd.ini")});
    const HWND list = again.Control(ids::kWcxList);
    j.CheckEqual(ListRows(list),
                 std::vector<std::wstring>{L"ab=1,c:\\p.wcx", L"arj=7,c:\\wcx\\arj.wcx", L"a=1,z:\\p.wcx", cab,
                                           L"rar=4,c:\\wcx\\unrar.wcx", L"zip=511,c:\\wcx\\zip.wcx",
                                           L"zip=31,c:\\wcx\\zip2.wcx"},
                 "rows after a restart");
    j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 1, 1, 1, 1, 0, 1}, "check states after a restart");
    j.Check(!IsEnabled(again.Control(ids::kApplyButton)), "ApplyButton is disabled after a restart");
    again.Close();
    again.ExpectExit(0);
}

PAKVANE_JOURNEY(save_question_at_close)
{
    const std::string ini = Ansi(j.WinPath("wincmd.ini"));
    WriteFileBytes(j.At("wincmd.ini"), kTwoRows);
    {
        App& app = j.Start({j.WinPath("wincmd.ini")});
        const HWND list = app.Control(ids::kWcxList);
        ToggleRow(j, app, 0);
        j.CheckEqual(Checks(list), std::vector<LRESULT>{0, 1}, "check states after switching arj off");

        // Cancel keeps the window and the change; nothing is written, not even the settings.
        app.Close();
        auto box = app.WaitMessageBox();
        ExpectSaveQuestion(j, box, "at close");
        app.Answer(box, IDCANCEL);
        app.Sync();
        j.Check(app.Running() && IsShown(app.Main()), "the window stays after Cancel");
        j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton stays enabled after Cancel");
        j.CheckEqual(Checks(list), std::vector<LRESULT>{0, 1}, "check states after Cancel");
        j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(kTwoRows), "wincmd.ini after Cancel");
        j.Check(!Exists(j.At("pakvane.ini")), "no settings file after Cancel");
        app.ExpectNoStray("after Cancel");

        // No (asked again, this time through the Cancel button) closes without saving.
        Click(app.Control(ids::kCancelButton));
        box = app.WaitMessageBox();
        ExpectSaveQuestion(j, box, "at CancelButton");
        app.Answer(box, IDNO);
        app.ExpectExit(0);
        j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(kTwoRows), "wincmd.ini after No");
        const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
        j.CheckEqual(IniValue(settings, "Setup", "IniFile"), std::optional<std::string>(ini), "Setup/IniFile after No");
        j.CheckEqual(Section(settings, "PackerPlugins"), kNoSection, "PackerPlugins of the settings file after No");
    }

    // Yes saves, then the window closes.
    fs::remove(j.At("pakvane.ini"));
    App& app = j.Start({j.WinPath("wincmd.ini")});
    ToggleRow(j, app, 0);
    app.Close();
    const auto box = app.WaitMessageBox();
    ExpectSaveQuestion(j, box, "at close, to be answered Yes");
    app.Answer(box, IDYES);
    ExpectSaved(j, app, "after Yes at close");
    app.ExpectExit(0);
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(kTwoRowsArjOff), "wincmd.ini after Yes");
    const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
    j.CheckEqual(Section(settings, "PackerPlugins"), std::vector<std::string>{"0=arj=7,c:\\wcx\\arj.wcx"},
                 "PackerPlugins of the settings file after Yes");
    j.CheckEqual(IniValue(settings, "Setup", "IniFile"), std::optional<std::string>(ini), "Setup/IniFile after Yes");
}

PAKVANE_JOURNEY(open_another_file_with_changes)
{
    WriteFileBytes(j.At("first.ini"), kTwoRows);
    const std::string second = "[PackerPlugins]\r\ncab=3,c:\\wcx\\cab.wcx\r\n7z=95,c:\\wcx\\7z.wcx\r\n";
    const OtherFolder folder(j);
    const fs::path second_path = folder.Path() / L"second.ini";
    WriteFileBytes(second_path, second);
    const std::vector<std::wstring> first_rows{L"arj=7,c:\\wcx\\arj.wcx", L"zip=511,c:\\wcx\\zip.wcx"};
    const std::vector<std::wstring> second_rows{L"7z=95,c:\\wcx\\7z.wcx", L"cab=3,c:\\wcx\\cab.wcx"};

    App& app = j.Start({j.WinPath("first.ini")});
    const HWND list = app.Control(ids::kWcxList);
    const HWND ini_show = app.Control(ids::kIniShow);
    const HWND open = app.Control(ids::kOpenIniButton);
    ToggleRow(j, app, 1);
    j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 0}, "check states after switching zip off");

    // Cancel at the question: no dialog, nothing changes.
    Click(open);
    auto box = app.WaitMessageBox();
    ExpectSaveQuestion(j, box, "before opening another file");
    app.Answer(box, IDCANCEL);
    app.Sync();
    app.ExpectNoStray("after cancelling the question (no file dialog)");
    j.CheckEqual(ListRows(list), first_rows, "rows after Cancel");
    j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 0}, "check states after Cancel");
    j.CheckEqual(WindowText(ini_show), j.WinPath("first.ini"), "IniShow after Cancel");
    j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton stays enabled after Cancel");

    // No: the file dialog, starting at the present file; the chosen file replaces the list.
    Click(open);
    box = app.WaitMessageBox();
    ExpectSaveQuestion(j, box, "before opening another file, to be answered No");
    app.Answer(box, IDNO);
    HWND dialog = app.WaitFileDialog();
    const std::wstring preset = WindowText(FileNameEdit(dialog));
    j.Check(preset.find(L"first.ini") != std::wstring::npos,
            "the file dialog starts at the present file: " + Describe(preset));
    j.Require(ChooseFileName(dialog, second_path.wstring()), "cannot type into the file dialog");
    WaitClosed(j, dialog, "the file dialog");
    app.Sync();
    app.ExpectNoStray("after choosing the other file");
    j.CheckEqual(ListRows(list), second_rows, "rows of the other file");
    j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 1}, "check states of the other file");
    j.CheckEqual(ListSelection(list), 0, "selected row of the other file");
    j.CheckEqual(WindowText(ini_show), AsHeldInAnsi(second_path.wstring()), "IniShow after opening the other file");
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after opening the other file");
    j.CheckEqual(ReadFileBytes(j.At("first.ini")), Bytes(kTwoRows), "the first file was not saved");
    j.Check(!Exists(j.At("pakvane.ini")), "no settings file written by opening another file");

    // The file just opened is the one a save writes.
    ToggleRow(j, app, 1);
    Click(app.Control(ids::kApplyButton));
    ExpectSaved(j, app, "in the other file");
    const std::string second_saved = "[PackerPlugins]\r\n7z=95,c:\\wcx\\7z.wcx\r\n";
    j.CheckEqual(ReadFileBytes(second_path), Bytes(second_saved), "the other file after switching cab off");
    j.CheckEqual(ReadFileBytes(j.At("pakvane.ini")), Bytes("[PackerPlugins]\r\n1=cab=3,c:\\wcx\\cab.wcx\r\n"),
                 "the settings file after switching cab off");
    j.CheckEqual(ReadFileBytes(j.At("first.ini")), Bytes(kTwoRows), "the first file after saving the other");

    // A file that does not exist: the message names it; the list stays, its commands do not.
    const std::wstring missing = j.WinPath("missing.ini");
    Click(open);
    dialog = app.WaitFileDialog();
    j.Require(ChooseFileName(dialog, missing), "cannot type into the file dialog");
    WaitClosed(j, dialog, "the file dialog");
    box = app.WaitMessageBox();
    j.CheckEqual(box.caption, S(Str::Error), "caption of the cannot-open message");
    j.CheckEqual(box.text, Formatted(Str::CannotOpenFile, missing), "text of the cannot-open message");
    j.CheckEqual(box.Buttons(), std::vector<int>{IDOK}, "buttons of the cannot-open message");
    app.Answer(box, IDOK);
    app.Sync();
    app.ExpectNoStray("after the cannot-open message");
    j.CheckEqual(ListRows(list), second_rows, "rows after choosing a missing file");
    j.CheckEqual(Checks(list), std::vector<LRESULT>{1, 0}, "check states after choosing a missing file");
    j.CheckEqual(WindowText(ini_show), AsHeldInAnsi(second_path.wstring()), "IniShow after choosing a missing file");
    for (int id : {ids::kAddButton, ids::kPropButton, ids::kDelButton, ids::kApplyButton})
        j.Check(!IsEnabled(app.Control(id)),
                "command " + std::to_string(id) + " is disabled after choosing a missing file");
    j.CheckEqual(ReadFileBytes(second_path), Bytes(second_saved), "the other file after choosing a missing file");

    app.Close();
    app.ExpectExit(0);
}

PAKVANE_JOURNEY(notify_commander)
{
    WriteFileBytes(j.At("wincmd.ini"), kTwoRows);
    const fs::path log = j.At("commander.log");
    FakeCommander commander(j, log);
    App& app = j.Start({j.WinPath("wincmd.ini")});
    j.CheckEqual(ReadFileBytes(log), Bytes(""), "commander log before any save");

    ToggleRow(j, app, 0);
    Click(app.Control(ids::kApplyButton));
    const auto box = app.WaitMessageBox();
    j.CheckEqual(box.text, S(Str::SaveSucceeded), "text of the success box");
    // The save is on disk while the box is up; the commander hears of it only afterwards.
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(kTwoRowsArjOff), "wincmd.ini while the box is up");
    j.CheckEqual(ReadFileBytes(log), Bytes(""), "commander log while the success box is up");
    app.Answer(box, IDOK);
    // The commander is told by messages sent (not posted) once the box has gone, and writes
    // each before it returns: wait for the first, then let the save finish.
    j.Await(
        [&] {
            const Bytes now = ReadFileBytes(log);
            return now && !now->empty();
        },
        10000, "the commander hears of the save");
    app.Sync();
    const Bytes heard = ReadFileBytes(log);
    const auto lines = Lines(heard);
    // Wine refuses to pass WM_PAINT with a non-zero wParam to another process, so only the
    // reload message can arrive here; if the paint message does, it must come second.
    j.Check(!lines.empty() && lines.front() == "1075 2913 0",
            "the commander first hears message 1075 (2913, 0): log " + Describe(heard));
    j.Check(lines.size() <= 1 || (lines.size() == 2 && lines[1] == "15 65535 0"),
            "after 1075 only WM_PAINT (65535, 0) may follow: log " + Describe(heard));
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after the save");
    app.ExpectNoStray("after notifying the commander");

    // Without a commander the save goes just as well and sends nothing.
    j.Check(commander.Stop(), "the fake commander closes");
    const Bytes before = ReadFileBytes(log);
    ToggleRow(j, app, 0);
    j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is enabled after switching arj on");
    Click(app.Control(ids::kApplyButton));
    ExpectSaved(j, app, "without a commander");
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after the save without a commander");
    j.CheckEqual(ReadFileBytes(j.At("wincmd.ini")), Bytes(kTwoRows), "wincmd.ini after switching arj on again");
    j.CheckEqual(ReadFileBytes(log), before, "commander log after the commander has gone");
    app.ExpectNoStray("after saving without a commander");
    app.Close();
    app.ExpectExit(0);
}

PAKVANE_JOURNEY(write_failure_retry)
{
    const fs::path ini = j.At("wincmd.ini");

    // The file is held by another program: the question comes back while it is, and the
    // save goes through once it is free.
    {
        WriteFileBytes(ini, kTwoRows);
        App& app = j.Start({ini.wstring()});
        ToggleRow(j, app, 0);
        LockedFile lock(ini);
        j.Require(lock.Held(), "cannot hold wincmd.ini open");
        Click(app.Control(ids::kApplyButton));
        auto box = app.WaitMessageBox();
        ExpectRetryQuestion(j, box, "while the file is held");
        app.Answer(box, IDYES);
        box = app.WaitMessageBox();
        ExpectRetryQuestion(j, box, "after Yes while the file is still held");
        lock.Release();
        app.Answer(box, IDYES);
        ExpectSaved(j, app, "after the file was released");
        j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after the retried save");
        j.CheckEqual(ReadFileBytes(ini), Bytes(kTwoRowsArjOff), "wincmd.ini after the retried save");
        app.Close();
        app.ExpectExit(0);
    }

    // Cancel at the question: the change stays unsaved; at close a cancelled retry keeps the
    // window, No lets it close.
    {
        WriteFileBytes(ini, kTwoRows);
        fs::remove(j.At("pakvane.ini"));
        App& app = j.Start({ini.wstring()});
        ToggleRow(j, app, 0);
        {
            LockedFile lock(ini);
            j.Require(lock.Held(), "cannot hold wincmd.ini open");
            Click(app.Control(ids::kApplyButton));
            const auto box = app.WaitMessageBox();
            ExpectRetryQuestion(j, box, "to be cancelled");
            app.Answer(box, IDCANCEL);
            app.Sync();
            j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton stays enabled after Cancel");
            app.ExpectNoStray("after cancelling the retry");
        }
        j.CheckEqual(ReadFileBytes(ini), Bytes(kTwoRows), "wincmd.ini after a cancelled retry");
        j.Check(!Exists(j.At("pakvane.ini")), "no settings file after a cancelled retry");

        LockedFile lock(ini);
        j.Require(lock.Held(), "cannot hold wincmd.ini open");
        app.Close();
        auto box = app.WaitMessageBox();
        ExpectSaveQuestion(j, box, "at close with the file held");
        app.Answer(box, IDYES);
        box = app.WaitMessageBox();
        ExpectRetryQuestion(j, box, "at close");
        app.Answer(box, IDCANCEL);
        app.Sync();
        j.Check(app.Running() && IsShown(app.Main()), "the window stays when the retry at close is cancelled");
        j.Check(IsEnabled(app.Control(ids::kApplyButton)),
                "ApplyButton stays enabled when the retry at close is cancelled");
        app.ExpectNoStray("after cancelling the retry at close");

        app.Close();
        box = app.WaitMessageBox();
        ExpectSaveQuestion(j, box, "at the second close");
        app.Answer(box, IDYES);
        box = app.WaitMessageBox();
        ExpectRetryQuestion(j, box, "at the second close");
        app.Answer(box, IDNO);
        app.ExpectExit(0);
        lock.Release();
        j.CheckEqual(ReadFileBytes(ini), Bytes(kTwoRows), "wincmd.ini after declining the retry at close");
        const Bytes settings = ReadFileBytes(j.At("pakvane.ini"));
        j.CheckEqual(Section(settings, "PackerPlugins"), kNoSection,
                     "PackerPlugins of the settings file after declining the retry at close");
        j.CheckEqual(IniValue(settings, "Setup", "IniFile"), std::optional<std::string>(Ansi(ini.wstring())),
                     "Setup/IniFile after declining the retry at close");
    }

    // A read-only file: the question, nothing written, and No leaves the change unsaved.
    {
        WriteFileBytes(ini, kTwoRows);
        ReadOnlyFile read_only(ini);
        j.Require(read_only.Set(), "cannot make wincmd.ini read-only");
        App& app = j.Start({ini.wstring()});
        ToggleRow(j, app, 0);
        Click(app.Control(ids::kApplyButton));
        const auto box = app.WaitMessageBox();
        ExpectRetryQuestion(j, box, "for a read-only file");
        j.CheckEqual(ReadFileBytes(ini), Bytes(kTwoRows), "read-only wincmd.ini while the question is up");
        app.Answer(box, IDNO);
        app.Sync();
        j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton stays enabled after No");
        j.CheckEqual(ReadFileBytes(ini), Bytes(kTwoRows), "read-only wincmd.ini after No");
        j.Check((GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_READONLY) != 0, "wincmd.ini is still read-only");
        app.ExpectNoStray("after No to the retry");
        read_only.Clear();
        app.Close();
        const auto question = app.WaitMessageBox();
        ExpectSaveQuestion(j, question, "after No to the retry");
        app.Answer(question, IDNO);
        app.ExpectExit(0);
    }
}
