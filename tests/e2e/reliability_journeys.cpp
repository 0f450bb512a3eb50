// A save never silently drops what it did not load: lines the list does not show, a second
// block, a section another program changed meanwhile (the driver is that other program), a
// configuration file deleted meanwhile; files that cannot be read right are refused at
// load; start-up removes leftovers of an interrupted save. The exact bytes of both files
// are checked after every answer.

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

const std::vector<int> kYesNoCancel{IDCANCEL, IDYES, IDNO};

bool Exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

bool Says(const MessageBoxInfo& box, const wchar_t* words)
{
    return box.text.find(words) != std::wstring::npos;
}

// Switches the row's check box as the user does: select it, press the space bar.
void Switch(App& app, int row)
{
    const HWND list = app.Control(ids::kWcxList);
    SelectRow(app.Main(), list, row);
    app.Sync();
    PressSpace(list);
    app.Sync();
}

void ExpectSaved(Journey& j, App& app, std::string_view when)
{
    const auto box = app.WaitMessageBox();
    j.CheckEqual(box.text, S(Str::SaveSucceeded), "the success box " + std::string(when));
    app.Answer(box, IDOK);
    app.Sync();
}

// kTwoRows after switching arj off and saving, and the settings file that holds arj then.
const std::string kArjOff = "[Configuration]\r\nx = 1\r\n\r\n[PackerPlugins]\r\nzip=511,c:\\wcx\\zip.wcx\r\n";
const std::string kArjOffSettings = "[PackerPlugins]\r\n0=arj=7,c:\\wcx\\arj.wcx\r\n";

}  // namespace

PAKVANE_JOURNEY(section_changed_meanwhile)
{
    const fs::path ini = j.At("wincmd.ini");
    const fs::path settings = j.At("pakvane.ini");
    const std::string changed = kTwoRows + "rar=4,c:\\wcx\\rar.wcx\r\n";
    WriteFileBytes(ini, kTwoRows);
    App& app = j.Start({ini.wstring()});
    Switch(app, 0);
    WriteFileBytes(ini, changed);

    // Cancel: nothing is written, the change stays unsaved.
    Click(app.Control(ids::kApplyButton));
    auto box = app.WaitMessageBox();
    j.CheckEqual(box.Buttons(), kYesNoCancel, "buttons of the changed-meanwhile question");
    j.Check(Says(box, L"Another program changed") && Says(box, ini.wstring().c_str()),
            "the question says what happened and names the file");
    app.Answer(box, IDCANCEL);
    app.Sync();
    j.CheckEqual(ReadFileBytes(ini), Bytes(changed), "wincmd.ini after Cancel");
    j.Check(!Exists(settings), "no settings file after Cancel");
    j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton stays enabled after Cancel");

    // No: the list overwrites the section.
    Click(app.Control(ids::kApplyButton));
    box = app.WaitMessageBox();
    app.Answer(box, IDNO);
    ExpectSaved(j, app, "after overwriting");
    j.CheckEqual(ReadFileBytes(ini), Bytes(kArjOff), "wincmd.ini after overwriting");
    j.CheckEqual(ReadFileBytes(settings), Bytes(kArjOffSettings), "pakvane.ini after overwriting");

    // Yes: the file is loaded again and the unsaved change is gone; nothing is written.
    Switch(app, 0);
    WriteFileBytes(ini, changed);
    Click(app.Control(ids::kApplyButton));
    box = app.WaitMessageBox();
    app.Answer(box, IDYES);
    app.Sync();
    j.CheckEqual(ReadFileBytes(ini), Bytes(changed), "wincmd.ini after reloading");
    j.CheckEqual(ReadFileBytes(settings), Bytes(kArjOffSettings), "pakvane.ini after reloading");
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)).size(), size_t{4}, "rows after reloading (3 + 1 switched off)");
    j.Check(!IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton is disabled after reloading");
    app.ExpectNoStray("after reloading");
    app.Close();
    app.ExpectExit(0);
}

PAKVANE_JOURNEY(deleted_configuration_file)
{
    const fs::path ini = j.At("wincmd.ini");
    WriteFileBytes(ini, kTwoRows);
    App& app = j.Start({ini.wstring()});
    Switch(app, 0);
    fs::remove(ini);

    Click(app.Control(ids::kApplyButton));
    auto box = app.WaitMessageBox();
    j.CheckEqual(box.Buttons(), (std::vector<int>{IDYES, IDNO}), "buttons of the deleted-file question");
    j.Check(Says(box, L"was deleted"), "the question says the file was deleted");
    app.Answer(box, IDNO);
    app.Sync();
    j.Check(!Exists(ini), "no new file after No");
    j.Check(IsEnabled(app.Control(ids::kApplyButton)), "ApplyButton stays enabled after No");

    Click(app.Control(ids::kApplyButton));
    box = app.WaitMessageBox();
    app.Answer(box, IDYES);
    ExpectSaved(j, app, "after creating the file anew");
    j.CheckEqual(ReadFileBytes(ini), Bytes("[PackerPlugins]\r\nzip=511,c:\\wcx\\zip.wcx\r\n"), "the new wincmd.ini");
    app.Close();
    app.ExpectExit(0);
}

PAKVANE_JOURNEY(kept_lines_and_second_block)
{
    const fs::path ini = j.At("wincmd.ini");
    const std::string tail = "[Lister]\r\nx=1\r\n[PackerPlugins]\r\ncab=1,c:\\wcx\\cab.wcx\r\n";
    WriteFileBytes(ini,
                   "[PackerPlugins]\r\n;rar=4,c:\\wcx\\rar.wcx\r\narj=7,c:\\wcx\\arj.wcx\r\nhand note\r\n"
                   "ZIP=0,c:\\old\\zip.wcx\r\nzip=511,c:\\wcx\\zip.wcx\r\n\r\n" +
                       tail);
    App& app = j.Start({ini.wstring()});
    j.CheckEqual(ListRows(app.Control(ids::kWcxList)),
                 (std::vector<std::wstring>{L"arj=7,c:\\wcx\\arj.wcx", L"ZIP=0,c:\\old\\zip.wcx"}), "listed rows");
    Switch(app, 0);
    Click(app.Control(ids::kApplyButton));
    ExpectSaved(j, app, "with kept lines");
    j.CheckEqual(ReadFileBytes(ini),
                 Bytes("[PackerPlugins]\r\nzip=0,c:\\old\\zip.wcx\r\n;rar=4,c:\\wcx\\rar.wcx\r\nhand note\r\n"
                       "zip=511,c:\\wcx\\zip.wcx\r\n\r\n" +
                       tail),
                 "wincmd.ini: rows, then the kept lines in order, the second block as it was");
    app.Close();
    app.ExpectExit(0);
}

PAKVANE_JOURNEY(unreadable_files_refused_at_load)
{
    struct Case {
        const char* name;
        std::string bytes;
        const wchar_t* says;
    };
    const std::string big_endian("\xFE\xFF\0[\0P\0a\0c\0k\0e\0r\0P\0l\0u\0g\0i\0n\0s\0]\0\r\0\n", 33);
    const Case cases[] = {
        {"utf16be.ini", big_endian, L"big-endian"},
        {"broken.ini", "[A]\r\n[PackerPlugins\r\nzip=1,c:\\wcx\\zip.wcx\r\n", L"no closing bracket"},
        {"itself.ini", "[PackerPlugins]\r\nRedirectSection=itself.ini\r\n", L"points to the file itself"},
    };
    for (const Case& c : cases) {
        const fs::path ini = j.At(c.name);
        WriteFileBytes(ini, c.bytes);
        App& app = j.Launch({ini.wstring()});
        if (const auto box = app.WaitStartupMessage();
            j.Check(box.has_value(), std::string("a message for ") + c.name)) {
            j.Check(Says(*box, c.says), std::string("the message for ") + c.name + " says why");
            app.Answer(*box, IDOK);
        }
        app.WaitMainWindow();
        j.CheckEqual(ListRows(app.Control(ids::kWcxList)), std::vector<std::wstring>{},
                     std::string("rows of ") + c.name);
        j.Check(!IsEnabled(app.Control(ids::kAddButton)), std::string("nothing to add to ") + c.name);
        app.Close();
        app.ExpectExit(0);
        j.CheckEqual(ReadFileBytes(ini), Bytes(c.bytes), std::string(c.name) + " is left as it was");
    }
}

PAKVANE_JOURNEY(startup_leftovers_and_quoted_folder)
{
    const fs::path ini = j.At("wincmd.ini");
    WriteFileBytes(ini, kTwoRows);
    for (const char* name : {"~pv1a2b0001.tmp", "~pv1a2b.txt"}) {
        WriteFileBytes(j.At(name), "half a file");
        const HANDLE file =
            CreateFileW(j.At(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME old{};
        old.dwHighDateTime = 0x01C00000;  // 1999
        SetFileTime(file, nullptr, nullptr, &old);
        CloseHandle(file);
    }
    // What Windows makes of "<folder>\" on a command line: the backslash keeps the quote.
    App& app = j.Start({ini.wstring(), j.WinPath("tc") + L"\\\""});
    j.Check(!Exists(j.At("~pv1a2b0001.tmp")), "the leftover temporary file is gone");
    j.Check(Exists(j.At("~pv1a2b.txt")), "a file of another pattern stays");
    app.Close();
    app.ExpectExit(0);
    j.CheckEqual(IniValue(ReadFileBytes(j.At("pakvane.ini")), "Setup", "ComPath"),
                 std::optional<std::string>(Ansi(j.WinPath("tc")) + "\\"), "the folder without the quote");
}
