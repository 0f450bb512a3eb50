#include "workload.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace pakvane::bench {

namespace {

// Four letters unique to n (n < 26^4), every fifth one followed by a digit.
std::string ExtensionFor(std::size_t n)
{
    std::string extension(4, 'a');
    for (std::size_t i = 4, rest = n; i-- > 0; rest /= 26) extension[i] = static_cast<char>('a' + rest % 26);
    if (n % 5 == 0) extension += static_cast<char>('0' + n % 10);
    return extension;
}

std::string PathFor(std::size_t plugin)
{
    const std::string id = std::to_string(plugin);
    switch (plugin % 4) {
    case 0:
        return "%COMMANDER_PATH%\\Plugins\\wcx\\Plugin" + id + "\\plugin" + id + ".wcx";
    case 1:
        return "C:\\Program Files\\Total Commander\\Plugins\\wcx\\Multi-Arc_" + id + "\\MultiArc.wcx";
    case 2:
        return "d:\\tools\\tc\\plugins\\wcx\\total7zip" + id + "\\7zip.wcx";
    default:
        return "%COMMANDER_PATH%\\PLUGINS\\WCX\\Sfx'Tool " + id + "\\sfx-tool.wcx";
    }
}

const char kBefore[] =
    "[Configuration]\r\n"
    "InstallDir=C:\\totalcmd\r\n"
    "Mainmenu=WCMD_ENG.MNU\r\n"
    "ShowHiddenSystem=1\r\n"
    "UseLongNames=1\r\n"
    "Small83Names=0\r\n"
    "OldStyleTree=0\r\n"
    "autotreechange=0\r\n"
    "SeparateTree=0\r\n"
    "PanelsVertical=0\r\n"
    "FirstTime=0\r\n"
    "LanguageIni=WCMD_RUS.LNG\r\n"
    "UseRightButton=0\r\n"
    "Editor=notepad.exe \"%1\"\r\n"
    "CompareTool=\"C:\\Program Files\\WinMerge\\WinMergeU.exe\"\r\n"
    "\r\n"
    "[Layout]\r\n"
    "ButtonBar=1\r\n"
    "DriveBar1=1\r\n"
    "DriveBar2=1\r\n"
    "DriveBarFlat=1\r\n"
    "InterfaceFlat=1\r\n"
    "DriveCombo=0\r\n"
    "DirectoryTabs=1\r\n"
    "StatusBar=1\r\n"
    "CmdLine=1\r\n"
    "KeyButtons=1\r\n"
    "\r\n"
    "[Colors]\r\n"
    "InverseCursor=0\r\n"
    "InverseSelection=0\r\n"
    "BackColor=16777215\r\n"
    "ForeColor=0\r\n"
    "MarkColor=255\r\n"
    "CursorColor=8421504\r\n"
    "\r\n"
    "[left]\r\n"
    "path=C:\\\r\n"
    "ShowAllDetails=1\r\n"
    "SpecialView=0\r\n"
    "show=1\r\n"
    "sortorder=0\r\n"
    "negative Sortorder=0\r\n"
    "\r\n"
    "[right]\r\n"
    "path=D:\\work\\\r\n"
    "ShowAllDetails=1\r\n"
    "SpecialView=0\r\n"
    "show=1\r\n"
    "sortorder=0\r\n"
    "negative Sortorder=0\r\n"
    "\r\n"
    "; archive plugins\r\n";

const char kAfter[] =
    "\r\n"
    "[PackerPlugins64]\r\n"
    "zip=543,%COMMANDER_PATH%\\Plugins\\wcx\\zip\\zip64.wcx\r\n"
    "\r\n"
    "[ListerPlugins]\r\n"
    "0=%COMMANDER_PATH%\\Plugins\\wlx\\imagine\\Imagine.wlx\r\n"
    "1=%COMMANDER_PATH%\\Plugins\\wlx\\mmedia\\mmedia.wlx\r\n"
    "\r\n"
    "[FileSystemPlugins]\r\n"
    "Registry=%COMMANDER_PATH%\\Plugins\\wfx\\registry\\registry.wfx\r\n"
    "\r\n"
    "[Associations]\r\n"
    "txt=notepad.exe\r\n"
    "\r\n"
    "[DirMenu]\r\n"
    "menu1=Windows\r\n"
    "cmd1=cd C:\\Windows\r\n"
    "menu2=Work\r\n"
    "cmd2=cd D:\\work\r\n"
    "\r\n"
    "[LeftHistory]\r\n"
    "0=C:\\\r\n"
    "1=C:\\Windows\\\r\n"
    "2=D:\\work\\\r\n"
    "\r\n"
    "[RightHistory]\r\n"
    "0=D:\\work\\\r\n"
    "1=C:\\\r\n";

const int kFlags[] = {0, 4, 7, 31, 64, 95, 543, 127};

}  // namespace

Workload MakeWorkload(std::size_t rows)
{
    Workload work;
    work.rows = rows;
    std::string section = "[PackerPlugins]\r\n";
    std::string settings =
        "[Setup]\r\nIniFile=C:\\totalcmd\\wincmd.ini\r\nComPath=C:\\totalcmd\\\r\nLanguage=\r\n\r\n"
        "[Tools]\r\nSort=1\r\n\r\n[PackerPlugins]\r\n";
    section.reserve(rows * 70);
    settings.reserve(rows * 10);
    for (std::size_t i = 0; i < rows; ++i) {
        // 7919 is prime and shares no factor with 1000, 10000 or 65536: a permutation.
        const std::size_t n = (i * 7919 + 12345) % rows;
        std::string extension = ExtensionFor(n);
        if (n % 7 == 0) {
            for (char& c : extension) c = static_cast<char>(c - 'a' + 'A');
        }
        const std::string value = std::to_string(kFlags[n % 8]) + "," + PathFor(n / 3);
        if (i % 10 == 9) {
            settings += std::to_string(i) + "=" + extension + "=" + value + "\r\n";
        } else {
            section += extension + "=" + value + "\r\n";
        }
    }
    work.configurationBytes = kBefore + section + kAfter;
    work.settingsBytes = settings;
    return work;
}

TempFolder::TempFolder(std::string_view purpose)
{
    std::string temp(GetTempPathA(0, nullptr), '\0');
    temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), temp.data()));
    path_ = temp + "pakvane_bench_" + std::to_string(GetCurrentProcessId()) +
            (purpose.empty() ? "" : "_" + std::string(purpose)) + "\\";
    if (!CreateDirectoryA(path_.c_str(), nullptr)) throw std::runtime_error("cannot create " + path_);
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path_ + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

void PutFile(const std::string& path, std::string_view bytes)
{
    DeleteFileA(path.c_str());
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok) throw std::runtime_error("cannot write " + path);
}

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace pakvane::bench
